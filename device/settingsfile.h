#pragma once

// The settings file (".VSF"): an indented outline of the settings tree ("level: caption"
// lines) with a ready-made write request for every value that may be written back. Writes it
// from a settings tree, reads it back into a preview tree and the requests to send, and
// refuses any file whose requests could do more than write settings.

#include "menunode.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace settingsfile {

// Larger files are refused unread: a real settings file is a few kilobytes.
inline constexpr qint64 kMaxFileBytes = 1024 * 1024;

// One request line of a file and where it stands there, so a refusal can name it.
struct TFileRequest
{
    QString Text;
    int LineNumber = 0; // 1-based
};

// What a file holds once its outline is taken out: the preview tree and the requests.
struct TSendTree
{
    // Holder node: its child is the top node ("FULL SETUP"); no child when the file has no
    // outline. A setting the file writes back carries its register and value. Held by
    // pointer because the nodes point back at their parents.
    std::unique_ptr<TMenuNode> Tree = std::make_unique<TMenuNode>();
    // The request lines in file order; empty when the file is refused.
    std::vector<TFileRequest> Requests;
    // Why nothing may be sent from this file; empty when the requests are sound.
    QString Error;

    [[nodiscard]] bool Ok() const { return Error.isEmpty(); }
    [[nodiscard]] QStringList RequestTexts() const;
    // The calibration block the file would send; empty when it has none.
    [[nodiscard]] QString Calibration() const;
    // What is sent: every request, the calibration line only when asked for.
    [[nodiscard]] QStringList RequestsToSend(bool includeCalibration) const;
};

// The lines of a loaded file, or why it could not be loaded.
struct TFileLines
{
    QStringList Lines;
    QString Error;

    [[nodiscard]] bool Ok() const { return Error.isEmpty(); }
};

// The file's lines for the tree under `tree` (the holder whose first child is the top node);
// `calibration` (the calibration block) becomes the calibration line when not empty.
// No lines for an empty tree.
[[nodiscard]] QStringList WriteSettingsFile(const TMenuNode& tree, const QString& calibration);

// Takes the outline out of a file's lines into a tree and checks what is left: only
// well-formed writes of the settings the outline lists may remain (each right after its
// setting's line, the calibration right after the top line), or the result is refused naming
// the first bad line.
[[nodiscard]] TSendTree FillSendTree(const QStringList& lines);

// A file loaded and its outline taken out, as it is previewed, sent or compared; its Error
// says why it cannot be used (it could not be loaded, or its requests are refused).
[[nodiscard]] TSendTree ReadSendTree(const QString& path);

// Latin-1 lines split on CR LF (or LF); refuses empty, oversized and binary files, and files
// cut short inside a request line (a last line with no line end that is no outline line).
[[nodiscard]] TFileLines LoadSettingsFile(const QString& path);

// Writes the lines with CR LF through a temporary file renamed over `path`, so a failed save
// leaves an earlier file as it was. Returns the error text, empty on success.
[[nodiscard]] QString SaveSettingsFile(const QString& path, const QStringList& lines);

// `path` with `extension` (".VSF") appended when its file name has no extension at all.
[[nodiscard]] QString WithDefaultExtension(const QString& path, const QString& extension);

// True while a menu of the tree still holds a "..." placeholder: its items were never read.
[[nodiscard]] bool HasUnreadMenus(const TMenuNode& tree);

// The request with its address bits set to `address`, its flags kept, so a file sent on a
// ring reaches only the connected instrument.
[[nodiscard]] QString Readdressed(const QString& requestLine, int address);

// True for the request that writes the calibration block.
[[nodiscard]] bool IsCalibrationLine(const QString& requestLine);

} // namespace settingsfile
