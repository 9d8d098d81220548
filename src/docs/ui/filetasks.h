#pragma once
// Implemented by the attached files window: the task pane's file-task toolbar hands it the
// key of the button that was pressed.

#include <QString>

namespace docs {

class FileTasks {
public:
    virtual ~FileTasks() = default;
    virtual void fileCommand(const QString& key) = 0;
};

}  // namespace docs
