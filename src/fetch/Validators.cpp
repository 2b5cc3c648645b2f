#include "fetch/Validators.h"

#include <algorithm>

namespace vt::fetch {

QString CleanValidator(const QString& value) {
    const bool sendable =
        value.size() <= MaxValidatorLength && std::all_of(value.cbegin(), value.cend(), [](QChar c) {
            return c.unicode() >= 0x20 && c.unicode() != 0x7F && c.unicode() <= 0xFF;
        });
    return sendable ? value : QString();
}

platform::Validators Cleaned(const platform::Validators& validators) {
    return {CleanValidator(validators.etag), CleanValidator(validators.lastModified)};
}

platform::Validators AfterNotModified(const platform::Validators& kept,
                                      const platform::Validators& answered) {
    const platform::Validators sent = Cleaned(answered);
    return {sent.etag.isEmpty() ? kept.etag : sent.etag,
            sent.lastModified.isEmpty() ? kept.lastModified : sent.lastModified};
}

} // namespace vt::fetch
