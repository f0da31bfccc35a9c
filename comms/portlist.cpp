#include "portlist.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace portlist {

namespace {

const QString kByIdFolder = QStringLiteral("/dev/serial/by-id");

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const TPortInfo* Find(const std::vector<TPortInfo>& system, const QString& location)
{
    const auto at = std::find_if(system.begin(), system.end(),
                                 [&](const TPortInfo& info) { return info.location == location; });
    return at == system.end() ? nullptr : &*at;
}

// What is known of a name: a system port's details, or of the port a link leads to.
QString DetailsOf(const QString& name, const std::vector<TPortInfo>& system,
                  const std::vector<TLink>& links)
{
    if (const TPortInfo* info = Find(system, name))
        return Details(*info);
    for (const TLink& link : links) {
        if (link.name == name) {
            const TPortInfo* target = Find(system, link.target);
            const QString known = target ? Details(*target) : QString();
            return known.isEmpty() ? QStringLiteral("the port %1").arg(link.target)
                                   : QStringLiteral("the port %1: %2").arg(link.target, known);
        }
    }
    return {};
}

} // namespace

QString Details(const TPortInfo& info)
{
    QStringList known;
    for (const QString& text : {info.description, info.manufacturer}) {
        if (!text.trimmed().isEmpty() && !known.contains(text.trimmed()))
            known << text.trimmed();
    }
    if (!info.serialNumber.trimmed().isEmpty())
        known << QStringLiteral("serial number %1").arg(info.serialNumber.trimmed());
    return known.join(QStringLiteral(", "));
}

std::vector<TPortEntry> Entries(const std::vector<TPortInfo>& system,
                                const std::vector<TLink>& links, const QStringList& extra,
                                const QStringList& recent)
{
    QStringList sorted;
    for (const TPortInfo& info : system)
        sorted << info.location;
    for (const QString& path : extra)
        sorted << path.trimmed();
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QStringList byId;
    for (const TLink& link : links)
        byId << link.name;
    std::sort(byId.begin(), byId.end());
    std::vector<TPortEntry> entries;
    const auto add = [&](const QString& name, bool used) {
        const bool listed = std::any_of(entries.begin(), entries.end(), [&](const TPortEntry& e) {
            return SameName(e.name, name);
        });
        if (name.isEmpty() || listed)
            return;
        const QString details = DetailsOf(name, system, links);
        if (!used)
            entries.push_back({name, details});
        else
            entries.push_back({name, details.isEmpty()
                                         ? QStringLiteral("used recently")
                                         : QStringLiteral("used recently; ") + details});
    };
    for (const QString& name : recent)
        add(name, true);
    for (const QString& name : sorted + byId)
        add(name, false);
    return entries;
}

std::vector<TPortEntry> SystemEntries(const QStringList& extra, const QStringList& recent)
{
    std::vector<TPortInfo> system;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        system.push_back(
            {info.systemLocation(), info.description(), info.manufacturer(), info.serialNumber()});
    std::vector<TLink> links;
    const QDir byId(kByIdFolder);
    for (const QFileInfo& link :
         byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        links.push_back({link.absoluteFilePath(), link.canonicalFilePath()});
    return Entries(system, links, extra, recent);
}

QStringList Remembered(QStringList recent, const QString& used, int keep)
{
    recent.removeIf([&](const QString& name) { return name.isEmpty() || SameName(name, used); });
    recent.prepend(used);
    return recent.mid(0, keep);
}

} // namespace portlist
