#pragma once

#include "logsampler.h"
#include "serialports.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the tool's command line asks for: the command with its arguments, the connection
// settings to lay over the viewer's saved ones, and the options of each command.
struct TCtlOptions : TPortOverrides
{
    enum class TCommand
    {
        None,
        Identity,
        Scan,
        Read,
        Write,
        Backup,
        Restore,
        Log,
        Weight,
        Diff
    };

    TCommand command = TCommand::None;
    QString commandName;
    bool json = false;
    // Setup level of backup, read and write; `levelGiven` tells whether read and write open
    // one at all.
    bool full = true;
    bool levelGiven = false;
    std::optional<QString> passcode;
    // read / write
    int reg = -1;
    QString value;
    // backup / restore / log / diff: the file (backup --all: the folder)
    QString path;
    // diff: the second file; empty: the connected instrument is compared with `path`
    QString secondPath;
    // Every port given (--port more than once, or --ports FILE); `port` is the first.
    QStringList ports;
    bool all = false;
    bool calibration = false;
    // log
    int rate = 0; // index into logchannels::RateTexts()
    std::optional<double> seconds;
    std::array<int, logchannels::DigitalCount> channels{}; // channel list indexes, 0 None
    QString comment;
    // weight
    bool watch = false;

    bool help = false;
    bool version = false;
    QString error; // a bad command line: the text to show, nothing else is done

    // Whether the command talks to one addressed instrument (scan and backup --all go
    // round every address themselves).
    [[nodiscard]] bool NeedsAddress() const;
    // Whether the command talks to no instrument at all (diff of two files).
    [[nodiscard]] bool Offline() const
    {
        return command == TCommand::Diff && !secondPath.isEmpty();
    }
    // Whether it runs on several ports at once.
    [[nodiscard]] bool Fleet() const { return ports.size() > 1; }
};

namespace ctloptions {

[[nodiscard]] TCtlOptions Parse(const QStringList& arguments);
[[nodiscard]] QString UsageText();
// The ports of a --ports file: one a line, blank lines and lines starting with "#" left out;
// nothing, with `error` set, when it cannot be read.
[[nodiscard]] std::optional<QStringList> ReadPortsFile(const QString& path, QString* error);
// A register as typed: hexadecimal, "0x" allowed, 0000..FFFF; -1 when it is none.
[[nodiscard]] int ParseRegister(const QString& text);
// A channel list such as "CofZ,Motion,Output 1": up to four names, case and blanks ignored.
[[nodiscard]] std::optional<std::array<int, logchannels::DigitalCount>>
ParseChannels(const QString& text);

} // namespace ctloptions
