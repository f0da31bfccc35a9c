#pragma once

#include "simoptions.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The q900sim command line: every option, its check and its place in TSimOptions.
class TSimCommandLine
{
public:
    enum Outcome
    {
        Run,
        Help,
        Version,
        Failed
    };

    TSimCommandLine();

    Outcome Parse(const QStringList& arguments);
    [[nodiscard]] const TSimOptions& Options() const { return m_options; }
    [[nodiscard]] QString LinkPath() const { return m_linkPath; }
    // Seconds to serve; 0 serves until the program is ended.
    [[nodiscard]] double Duration() const { return m_duration; }
    [[nodiscard]] QString Error() const { return m_error; }
    [[nodiscard]] QString HelpText() const { return m_parser.helpText(); }

private:
    void AddOptions();
    bool ReadAddresses();
    bool ReadLine();
    bool ReadInstrument();
    bool ReadMenuFaults();
    bool ReadNumber(const QString& name, double low, double high, double& value);
    bool ReadInteger(const QString& name, long long low, long long high, long long& value);

    QCommandLineParser m_parser;
    TSimOptions m_options;
    QString m_linkPath;
    double m_duration = 0;
    QString m_error;
};
