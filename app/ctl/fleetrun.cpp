#include "fleetrun.h"

#include "console.h"
#include "ctloptions.h"
#include "ctloutput.h"
#include "hiddeninput.h"
#include "signalexit.h"

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>

#include <memory>

namespace {

const QString kMessagePrefix = QStringLiteral("q900ctl: ");

QString ResultText(TExitCode code, bool scan, bool saved)
{
    switch (code) {
    case TExitCode::Done:
        return scan ? QStringLiteral("found") : QStringLiteral("saved");
    case TExitCode::Refused:
        return saved ? QStringLiteral("saved, part refused") : QStringLiteral("refused");
    case TExitCode::NoAnswer:
        return QStringLiteral("no answer");
    default:
        return QStringLiteral("failed");
    }
}

TExitCode CodeOf(int code)
{
    return code >= 0 && code <= int(TExitCode::NoAnswer) ? TExitCode(code) : TExitCode::NoAnswer;
}

} // namespace

// One port's run of the tool and what it said.
struct TFleetRun::TPortRun
{
    QString port;
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QByteArray errors; // standard error not yet forwarded
    QString lastMessage;
};

TFleetRun::TFleetRun(const TCtlOptions& options, QString program, TConsole& console,
                     const TCtlOutput& output)
    : m_options(options), m_program(std::move(program)), m_console(console), m_output(output)
{
}

QString TFleetRun::FolderName(const QString& port)
{
    QString name = port.trimmed();
    if (name.startsWith(QStringLiteral("/dev/")))
        name = name.mid(5);
    // Every run of characters a folder name cannot hold, or that say nothing, becomes one "-".
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:\\[\\]]+")), QStringLiteral("-"));
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("port") : name;
}

QStringList TFleetRun::Arguments(const QString& port) const
{
    QStringList arguments{QStringLiteral("--port"), port, QStringLiteral("--json")};
    if (m_options.cable)
        arguments << QStringLiteral("--cable") << serialports::CableName(*m_options.cable);
    if (m_options.baud)
        arguments << QStringLiteral("--baud") << QString::number(*m_options.baud);
    if (m_options.command == TCtlOptions::TCommand::Scan)
        return arguments << QStringLiteral("scan");
    return arguments << QStringLiteral("backup") << QStringLiteral("--all")
                     << QDir(m_options.path).filePath(FolderName(port)) << QStringLiteral("--level")
                     << (m_options.full ? QStringLiteral("full") : QStringLiteral("safe"));
}

// A backup needs the level's passcode: asked once here for every port, else each run would
// find none to ask for.
bool TFleetRun::TakePasscode()
{
    if (m_options.passcode) {
        m_passcode = *m_options.passcode;
        return true;
    }
    if (m_options.command == TCtlOptions::TCommand::Scan || !hiddeninput::StdinIsTerminal())
        return true;
    const std::optional<QString> typed = hiddeninput::ReadLine(
        m_options.full ? QStringLiteral("Full Passcode for every instrument: ")
                       : QStringLiteral("Safe Passcode for every instrument: "));
    if (!typed)
        return false;
    m_passcode = *typed;
    return true;
}

// The runs' messages as they come, each named by its port.
void TFleetRun::Forward(TPortRun& run, bool all)
{
    run.errors += run.process->readAllStandardError();
    qsizetype end = 0;
    while ((end = run.errors.indexOf('\n')) >= 0 || (all && !run.errors.isEmpty())) {
        const qsizetype length = end >= 0 ? end : run.errors.size();
        QString line = QString::fromLocal8Bit(run.errors.left(length)).trimmed();
        run.errors.remove(0, std::min(length + 1, run.errors.size()));
        if (line.startsWith(kMessagePrefix))
            line = line.mid(kMessagePrefix.size());
        if (line.isEmpty())
            continue;
        run.lastMessage = line;
        m_console.Message(QStringLiteral("%1: %2").arg(run.port, line));
    }
}

TExitCode TFleetRun::Run()
{
    if (!TakePasscode()) {
        m_console.Message(QStringLiteral("No passcode was given."));
        return TExitCode::BadUsage;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!m_passcode.isEmpty())
        environment.insert(QStringLiteral("Q900_PASSCODE"), m_passcode);
    std::vector<TPortRun> runs(size_t(m_options.ports.size()));
    QEventLoop loop;
    int running = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        TPortRun& run = runs[i];
        run.port = m_options.ports.at(qsizetype(i));
        QProcess& process = *run.process;
        process.setProcessEnvironment(environment);
        QObject::connect(&process, &QProcess::readyReadStandardError, &loop,
                         [this, &run] { Forward(run, false); });
        QObject::connect(&process, &QProcess::finished, &loop, [&running, &loop] {
            if (--running == 0)
                loop.quit();
        });
        process.start(m_program, Arguments(run.port));
        ++running;
    }
    // Ctrl+C reaches every run by itself; a signal to this process alone is passed on.
    TSignalExit interrupt;
    QObject::connect(&interrupt, &TSignalExit::Received, &loop, [&runs] {
        for (TPortRun& run : runs)
            run.process->terminate();
    });
    loop.exec();
    std::vector<TRow> rows;
    TExitCode worst = TExitCode::Done;
    for (TPortRun& run : runs) {
        Forward(run, true);
        const bool normal = run.process->exitStatus() == QProcess::NormalExit;
        const TExitCode code = normal ? CodeOf(run.process->exitCode()) : TExitCode::NoAnswer;
        if (!normal)
            run.lastMessage = QStringLiteral("the run ended abnormally");
        const QJsonObject printed =
            QJsonDocument::fromJson(run.process->readAllStandardOutput()).object();
        for (TRow& row : Rows(run.port, printed, code, run.lastMessage))
            rows.push_back(std::move(row));
        worst = exitcode::Worse(worst, code);
    }
    Print(rows);
    return worst;
}

std::vector<TFleetRun::TRow> TFleetRun::Rows(const QString& port, const QJsonObject& printed,
                                             TExitCode code, const QString& message)
{
    std::vector<TRow> rows;
    const bool scan = printed.contains(QStringLiteral("instruments"));
    const QJsonArray found =
        printed.value(scan ? QStringLiteral("instruments") : QStringLiteral("files")).toArray();
    for (const QJsonValue& value : found) {
        const QJsonObject instrument = value.toObject();
        TRow row;
        row.port = port;
        row.address = instrument[QStringLiteral("address")].toInt();
        row.serialNumber = instrument[QStringLiteral("serialNumber")].toString();
        row.file = instrument[QStringLiteral("file")].toString();
        row.code = scan ? TExitCode::Done
                        : CodeOf(instrument[QStringLiteral("exitCode")].toInt(int(code)));
        row.result = ResultText(row.code, scan, !row.file.isEmpty());
        rows.push_back(row);
    }
    if (rows.empty()) {
        TRow row;
        row.port = port;
        row.code = code == TExitCode::Done ? TExitCode::NoAnswer : code;
        row.result = message.isEmpty() ? ResultText(row.code, false, false) : message;
        rows.push_back(row);
    }
    return rows;
}

QString TFleetRun::Table(const std::vector<TRow>& rows)
{
    std::vector<QStringList> cells{{QStringLiteral("Port"), QStringLiteral("Address"),
                                    QStringLiteral("Serial number"), QStringLiteral("File"),
                                    QStringLiteral("Result")}};
    for (const TRow& row : rows)
        cells.push_back({row.port, row.address > 0 ? QString::number(row.address) : QString(),
                         row.serialNumber, QDir::toNativeSeparators(row.file), row.result});
    std::vector<qsizetype> widths(5, 0);
    for (const QStringList& line : cells) {
        for (size_t c = 0; c < widths.size(); ++c)
            widths[c] = std::max(widths[c], line.at(qsizetype(c)).size());
    }
    QStringList lines;
    for (const QStringList& line : cells) {
        QString text;
        for (size_t c = 0; c + 1 < widths.size(); ++c)
            text += line.at(qsizetype(c)).leftJustified(widths[c] + 2);
        lines << text + line.last();
    }
    return lines.join(u'\n');
}

void TFleetRun::Print(const std::vector<TRow>& rows) const
{
    QJsonArray summary;
    for (const TRow& row : rows)
        summary.append(QJsonObject{{QStringLiteral("port"), row.port},
                                   {QStringLiteral("address"), row.address},
                                   {QStringLiteral("serialNumber"), row.serialNumber},
                                   {QStringLiteral("file"), row.file},
                                   {QStringLiteral("result"), row.result},
                                   {QStringLiteral("exitCode"), int(row.code)}});
    m_output.Print({{QStringLiteral("summary"), summary}}, Table(rows));
}
