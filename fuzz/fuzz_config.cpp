// config.ini files into TdatViewer on a program folder of their own. The first byte chooses
// the layout: bit 0 set, the file is the per-user copy of an installed program read on top
// of a sound installed file; clear, it is the program folder's own file. Bit 1 set, a setting
// is changed and saved too. Whatever the file holds, the serial settings come out as a choice
// the port dialog and the line accept, and a changed setting is written back without losing
// anything else the file held.
#include "dmviewer.h"
#include "fuzzcheck.h"
#include "inputclock.h"
#include "portconfig.h"
#include "protocol.h"
#include "scratchfolder.h"
#include "serialports.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

const QByteArray kInstalledFile = "[Images]\nInstrument=Q910.jpg\n[Comms]\nPort=1\nBaud=3\n";

// Everything the program reads from the file, to compare before and after a save.
struct TReadable
{
    QString image, logo, name, copyright, comments, portName, extraPorts;
    int port, cable, baud, parity, data, stop, address;

    explicit TReadable(const TdatViewer& c)
        : image(c.InstrumentImage()), logo(c.Logo()), name(c.ViewerName()),
          copyright(c.Copyright()), portName(c.PortName()), extraPorts(c.ExtraPorts()),
          port(c.Port()), cable(c.Cable()), baud(c.Baud()), parity(c.Parity()), data(c.Data()),
          stop(c.Stop()), address(c.Address())
    {
        for (int n = 1; n <= 6; ++n)
            comments += c.Comment(n) + u'\n';
    }
    bool operator==(const TReadable&) const = default;
};

void CheckLineSettings(const TdatViewer& config)
{
    const TPortChoice choice = portconfig::LoadPortDialog(config);
    FuzzCheck(choice.cable >= 0 && choice.cable <= TPortChoice::OpticalLink && choice.baud >= 0 &&
                  choice.baud < serialports::kBaudTexts.size() && choice.parity >= 0 &&
                  choice.parity <= 2 && choice.data >= 0 && choice.data <= 1 && choice.stop >= 0 &&
                  choice.stop <= 1,
              "the dialog gets a choice it lists");
    FuzzCheck(choice.address >= 0 && choice.address <= protocol::flag::MaxAddress,
              "the dialog gets an address it lists");
    const TLineSettings line = serialports::LineSettingsFor(choice);
    FuzzCheck(serialports::BaudIndexOf(line.baud) >= 0, "the line gets a listed baud rate");
    FuzzCheck(line.parity >= 0 && line.parity <= 2, "the line gets a parity");
    FuzzCheck(line.dataBits == 7 || line.dataBits == 8, "the line gets 7 or 8 data bits");
    FuzzCheck(line.stopBits == 1 || line.stopBits == 2, "the line gets 1 or 2 stop bits");
    const int address = serialports::AddressFor(choice);
    FuzzCheck(address >= 0 && address <= protocol::flag::MaxAddress, "the line gets an address");
}

// The two program folders, made once: a folder per input would cost more than the reading.
struct TFolders
{
    QString program;
    QString user;

    TFolders()
        : program(TScratchFolder::Instance().FilePath(QStringLiteral("program"))),
          user(TScratchFolder::Instance().FilePath(QStringLiteral("user")))
    {
        QDir().mkpath(program);
        QDir().mkpath(user);
    }
};

// Writes a setting, saves and reads the file again: nothing else the file held may change.
void CheckWriteBack(const TReadable& before, const QString& program, const QString& user,
                    int newBaud)
{
    {
        TdatViewer config(program, user);
        config.SetBaud(newBaud);
        FuzzCheck(config.Save().isEmpty(), "a writable folder takes the file");
    }
    const TdatViewer again(program, user);
    FuzzCheck(again.Baud() == newBaud, "a saved setting reads back");
    TReadable expected = before;
    expected.baud = newBaud;
    FuzzCheck(TReadable(again) == expected, "saving keeps every other setting");
}

} // namespace

int FuzzOne(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const TFolders folders;
    const bool userLayer = data[0] & 1;
    const bool writeBack = data[0] & 2;
    const QByteArray file(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const TScratchFolder& scratch = TScratchFolder::Instance();
    scratch.Write(QStringLiteral("program/config.ini"), userLayer ? kInstalledFile : file);
    if (userLayer)
        scratch.Write(QStringLiteral("user/config.ini"), file);
    else
        QFile::remove(QDir(folders.user).filePath(QStringLiteral("config.ini")));
    const QString user = userLayer ? folders.user : QString();

    // A file holding a NUL byte is refused whole (the parser would see only its start).
    const bool readable = userLayer || !file.contains('\0');
    const TReadable before = [&] {
        const TdatViewer config(folders.program, user);
        FuzzCheck(config.ConfigValid() == readable, "a readable config.ini is taken");
        CheckLineSettings(config);
        return TReadable(config);
    }();
    if (!readable) {
        {
            TdatViewer config(folders.program, user);
            config.SetBaud(int(size % serialports::kBaudTexts.size()));
        }
        QFile written(folders.program + QStringLiteral("/config.ini"));
        FuzzCheck(written.open(QIODevice::ReadOnly) && written.readAll() == file,
                  "a refused config.ini is never rewritten");
    } else if (writeBack) {
        CheckWriteBack(before, folders.program, user, int(size % serialports::kBaudTexts.size()));
    }
    return 0;
}
