#include "cli/output.h"

namespace cli {

QTextStream& Out() {
    static QTextStream s(stdout);
    return s;
}

QTextStream& Err() {
    static QTextStream s(stderr);
    return s;
}

int UsageExit(const QString& why, const char* usage) {
    if (!why.isEmpty()) Err() << why << "\n";
    Err() << "Usage:\n" << usage;
    Err().flush();
    return 2;
}

}  // namespace cli
