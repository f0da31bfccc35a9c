#include "dmviewer.h"

#include "atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// Values are kept as the UTF-8 bytes of the file; no wide-character conversion needed.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION // Debian's header keeps the template bodies behind this
#include <SimpleIni.h>

#include <string>

struct TdatViewer::IniFile : CSimpleIniA
{
    IniFile() : CSimpleIniA(/*unicode*/ true, /*multiKey*/ false, /*multiLine*/ false)
    {
        SetSpaces(false); // keep "Key=Value" as the file has it
    }
};

namespace {

std::unique_ptr<TdatViewer::IniFile> NewIni()
{
    return std::make_unique<TdatViewer::IniFile>();
}

// Far above any real configuration (under a kilobyte); the parser would hold a larger file
// twice over in memory.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

// False for no file, an oversized one, or one holding binary data: the parser stops at a NUL
// byte, so a write-back would silently drop everything after it.
bool LoadInto(CSimpleIniA& ini, const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.contains('\0'))
        return false;
    // A byte-order mark inside the file (two files joined) hides the line it begins from the
    // parser, but one written back at the start of the file would be dropped there and the
    // line then read: the file would say something other than it did. Such marks are invisible
    // in an editor, so they are dropped at once; only one at the very start is one. The bytes
    // either side of a dropped mark can join into another, so the search resumes two back.
    static constexpr char kMark[] = "\xEF\xBB\xBF";
    const qsizetype first = bytes.startsWith(kMark) ? 3 : 0;
    for (qsizetype at = bytes.indexOf(kMark, first); at >= 0;
         at = bytes.indexOf(kMark, qMax(first, at - 2)))
        bytes.remove(at, 3);
    return ini.LoadData(bytes.constData(), static_cast<size_t>(bytes.size())) >= 0;
}

// Through a temporary file renamed over the old one, so that a crash or a full disk can never
// leave a truncated configuration.
QString WriteAtomically(const CSimpleIniA& ini, const QString& path)
{
    std::string text;
    if (ini.Save(text) < 0)
        return QStringLiteral("Cannot format %1").arg(path);
    const QString error =
        TAtomicFile::WriteFile(path, QByteArrayView(text.data(), qsizetype(text.size())));
    if (!error.isEmpty())
        return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), error);
    return {};
}

} // namespace

TdatViewer::TdatViewer(const QString& programDir, const QString& userLayerDir)
    : m_programDir(QDir(programDir).absolutePath()), m_ini(NewIni())
{
    m_valid = LoadInto(*m_ini, ConfigFileName());
    m_userDir = userLayerDir;
    if (m_userDir.isEmpty() && !QFileInfo(m_programDir).isWritable())
        m_userDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (!m_userDir.isEmpty()) {
        m_user = NewIni();
        LoadInto(*m_user, UserFileName());
    }
}

TdatViewer::~TdatViewer()
{
    const QString error = Save();
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
}

QString TdatViewer::ConfigFileName() const
{
    return QDir(m_programDir).filePath(QStringLiteral("config.ini"));
}

QString TdatViewer::UserFileName() const
{
    return QDir(m_userDir).filePath(QStringLiteral("config.ini"));
}

QString TdatViewer::Save()
{
    if (!m_valid || !m_changed)
        return {};
    if (m_user && !QDir().mkpath(m_userDir))
        return QStringLiteral("Cannot create %1").arg(m_userDir);
    const QString error = m_user ? WriteAtomically(*m_user, UserFileName())
                                 : WriteAtomically(*m_ini, ConfigFileName());
    m_changed = !error.isEmpty();
    return error;
}

QString TdatViewer::Text(const char* section, const char* key, const QString& fallback) const
{
    const char* value = m_ini->GetValue(section, key, nullptr);
    return value ? QString::fromUtf8(value) : fallback;
}

QString TdatViewer::InstrumentImage() const
{
    return m_programDir + u'/' + Text("Images", "Instrument");
}

QString TdatViewer::Logo() const
{
    return m_programDir + u'/' + Text("About", "Logo");
}

QString TdatViewer::Comment(int n) const
{
    const std::string key = "Comment" + std::to_string(n);
    return Text("About", key.c_str());
}

QString TdatViewer::Copyright() const
{
    return Text("About", "Copyright");
}

QString TdatViewer::ViewerName() const
{
    return Text("About", "ViewerName", QStringLiteral("ViewQ900"));
}

int TdatViewer::CommsValue(const char* key, int fallback) const
{
    const long base = m_ini->GetLongValue(kComms, key, fallback);
    return static_cast<int>(m_user ? m_user->GetLongValue(kComms, key, base) : base);
}

QString TdatViewer::UserText(const char* section, const char* key) const
{
    const char* value = m_user ? m_user->GetValue(section, key, nullptr) : nullptr;
    if (!value)
        value = m_ini->GetValue(section, key, "");
    return QString::fromUtf8(value);
}

void TdatViewer::SetCommsValue(const char* key, int value)
{
    SetCommsText(key, QString::number(value));
}

void TdatViewer::SetUserText(const char* section, const char* key, const QString& value)
{
    IniFile& target = m_user ? *m_user : *m_ini;
    const QByteArray text = value.toUtf8();
    const char* old = target.GetValue(section, key, nullptr);
    if (old && text == old)
        return;
    target.SetValue(section, key, text.constData());
    m_changed = true;
}

void TdatViewer::RemoveUserKey(const char* section, const char* key)
{
    IniFile& target = m_user ? *m_user : *m_ini;
    if (target.Delete(section, key, /*removeEmptySection*/ true))
        m_changed = true;
}
