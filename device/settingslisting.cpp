#include "settingslisting.h"

#include <algorithm>

namespace settingslisting {

namespace {

// Writes lines and counts them; a full page is followed by a form feed and three blank lines
// that do not count.
class TPagingWriter
{
public:
    explicit TPagingWriter(int linesPerPage) : m_linesPerPage(std::max(1, linesPerPage))
    {
        // One blank flushed to start the job, then three empty lines.
        m_pages.push_back({QStringLiteral(" "), QString(), QString()});
    }
    void Write(const QString& text)
    {
        m_pages.back() << text;
        if (++m_count < m_linesPerPage)
            return;
        m_count = 0;
        m_pages.push_back({QString(), QString(), QString()});
    }
    std::vector<QStringList> Take()
    {
        // A page that only holds the blanks of a form feed was never printed on.
        if (m_pages.size() > 1 && m_count == 0)
            m_pages.pop_back();
        return std::move(m_pages);
    }

private:
    int m_linesPerPage;
    int m_count = 0;
    std::vector<QStringList> m_pages;
};

void WriteNode(TPagingWriter& writer, const TMenuNode& node, int depth)
{
    writer.Write(QStringLiteral("   ").repeated(depth) + node.Caption);
    for (const auto& child : node.Children())
        WriteNode(writer, *child, depth + 1);
}

} // namespace

QString Header(const QString& model, const QString& serial, const QString& version)
{
    return QStringLiteral("  %1 SN:%2 Version %3 ").arg(model, serial, version);
}

std::vector<QStringList> Pages(const QString& header, const TMenuNode& tree, int linesPerPage)
{
    TPagingWriter writer(linesPerPage);
    writer.Write(header);
    writer.Write(QString());
    if (!tree.Children().empty())
        WriteNode(writer, *tree.Children().front(), 1);
    return writer.Take();
}

} // namespace settingslisting
