#include "app/ui/pictures.h"

#include "app/startup.h"
#include "app/state.h"

// The resources live in a static library: their initialiser is called by hand so the
// linker keeps them.
static void InitProgramResources() { Q_INIT_RESOURCE(kalvaro); }

namespace app {

QIcon ProgramIcon(const QString& name) {
    static const bool initialised = (InitProgramResources(), true);
    (void)initialised;
    return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".png"));
}

QPixmap TemplatePicture(const AppState& s, const QString& name) {
    QPixmap p;
    p.load(TemplateFile(s, name));
    return p;
}

}  // namespace app
