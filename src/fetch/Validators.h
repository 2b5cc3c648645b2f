#pragma once

#include <QString>

#include "platform/Browser.h"

// The validators a conditional fetch keeps and sends back: only those a server can mean as a
// version tag, and after a 304 the ones it sent merged into the ones kept.
namespace vt::fetch {

// A validator longer than this is no version tag to send back: it is neither kept nor sent, so a
// hostile server cannot make the state file or a request header grow without bound.
inline constexpr qsizetype MaxValidatorLength = 8 * 1024;

// The validator as it may be kept and sent: "" when it is too long or holds a control character
// or one outside Latin-1 (a CR or LF would end the header it is sent in).
QString CleanValidator(const QString& value);
platform::Validators Cleaned(const platform::Validators& validators);

// What identifies the document after a 304: each validator the answer carries replaces the one
// kept, and the one it leaves out stays as it was (HTTP caching, RFC 9111 section 4.3.4).
platform::Validators AfterNotModified(const platform::Validators& kept, const platform::Validators& answered);

} // namespace vt::fetch
