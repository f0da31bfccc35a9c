#include "fileprompts.h"

#include "startupprobe.h"

QString TFilePrompts::AskOpenFileName(const QString&, const QString&)
{
    m_openAskedNs = startupprobe::MonotonicNs();
    return m_openFile;
}
