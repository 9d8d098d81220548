#include "shell/objectwindows.h"

#include "analyser/ui/comport.h"
#include "shell/workbench.h"
#include "docs/ui/docum.h"
#include "import/ui/fimport.h"
#include "object/ui/edinic.h"
#include "object/ui/od.h"
#include "regime/ui/regim.h"
#include "regime/ui/sreg.h"
#include "results/ui/graf.h"
#include "report/ui/karta.h"
#include "results/ui/navig.h"
#include "tools/ui/fplg.h"
#include "tools/ui/fq5.h"
#include "tools/ui/pricid.h"
#include "tuning/ui/fopt.h"

namespace shell {

using namespace app;

void InstallObjectWindows(Workbench& wb) {
    wb.setFactory(WindowKind::OD, [](app::Workbench& w) { return new object::OD(w); });
    wb.setFactory(WindowKind::SReg, [](app::Workbench& w) { return new regime::SReg(w); });
    wb.setFactory(WindowKind::Navig, [](app::Workbench& w) { return new results::Navig(w); });
    wb.setFactory(WindowKind::Regim, [](app::Workbench& w) { return new regime::Regim(w); });
    wb.setFactory(WindowKind::Edinic, [](app::Workbench& w) { return new object::Edinic(w); });
    wb.setFactory(WindowKind::Graf, [](app::Workbench& w) { return new results::Graf(w); });
    wb.setFactory(WindowKind::Grafmin, [](app::Workbench& w) { return new results::Grafmin(w); });
    wb.setFactory(WindowKind::FQ5, [](app::Workbench& w) { return new tools::fQ5(w); });
    wb.setFactory(WindowKind::Pricid, [](app::Workbench& w) { return new tools::Pricid(w); });
    wb.setFactory(WindowKind::FPlG, [](app::Workbench& w) { return new tools::fPlG(w); });
    wb.setFactory(WindowKind::Docum, [](app::Workbench& w) { return new docs::Docum(w); });
    wb.setFactory(WindowKind::Karta, [](app::Workbench& w) { return new report::Karta(w); });
    wb.setFactory(WindowKind::FOpt, [](app::Workbench& w) { return new tuning::fOpt(w); });
    wb.setFactory(WindowKind::Comport, [](app::Workbench& w) { return new analyser::comport(w); });
    wb.setFactory(WindowKind::FImport, [](app::Workbench& w) { return new importer::fImport(w); });
}

}  // namespace shell
