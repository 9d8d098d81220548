// "Koment.txt": any bytes read without a crash; a comment longer than the window takes is
// cut and says so; a comment read whole, written and read again is the same comment.

#include <cstdint>

#include "core/textfile.h"
#include "docs/documents.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PutFile(docs::kCommentFile, data, size);
    QString text, error;
    bool cut = false;
    if (!docs::ReadComment(fuzz::Folder(), text, &error, &cut)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(text.size() <= docs::kMaxCommentLength);
    FUZZ_CHECK(!text.contains(u'\r'));
    if (cut) return 0;  // the window leaves such a file alone
    FUZZ_CHECK(docs::WriteComment(fuzz::Folder(), text));
    // a text that happens to form UTF-8 is refused on reading, and said so: no round trip
    if (fuzz::WrittenLooksLikeUtf8(docs::kCommentFile)) return 0;
    QString again;
    bool cutAgain = false;
    FUZZ_CHECK(docs::ReadComment(fuzz::Folder(), again, nullptr, &cutAgain));
    QString stored = core::DecodeCp1251(core::EncodeCp1251(text));
    stored.replace(u'"', u'\'');
    FUZZ_CHECK(again == stored || cutAgain);
    return 0;
}
