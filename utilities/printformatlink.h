#pragma once

#include "printformatcodec.h"

class IRequester;

// Moving the custom print formats between the instrument and their editor texts. Requests
// wait for their replies and report error replies to the user.
namespace printformat {

// Each format's size limit (command ReadMaximum; a failed read or 0 keeps the default) and
// its text (a failed read or empty data leaves it empty), short press first.
[[nodiscard]] TPrintFormats Read(IRequester& link);
// Writes both formats, the long one even when the short one was refused; true when the
// instrument accepted both.
bool Write(IRequester& link, const TPrintFormats& formats);

} // namespace printformat
