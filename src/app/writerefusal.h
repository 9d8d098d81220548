#pragma once
// The words of a write into the open object that failed. An object opened read-only refuses
// every write with its reason; that reason is what the user needs to read, not a message that
// looks like a disk fault.

#include <QString>

#include "app/state.h"
#include "core/textfile.h"

namespace app {

// "<what>: <why the object is read-only>." when it is; otherwise `fault`, the window's own
// message of a write error.
inline QString WriteFailureText(const AppState& s, const QString& what, const QString& fault) {
    const QString refusal =
        s.currentObjectFolder.isEmpty() ? QString() : core::FolderWriteRefusal(s.currentObjectFolder);
    return refusal.isEmpty() ? fault : what + QStringLiteral(": ") + refusal + u'.';
}

}  // namespace app
