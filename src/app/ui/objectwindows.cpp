#include "app/ui/objectwindows.h"

#include "analyser/ui/comport.h"
#include "app/ui/workbench.h"
#include "docs/ui/docum.h"
#include "object/ui/edinic.h"
#include "object/ui/od.h"
#include "regime/ui/regim.h"
#include "regime/ui/sreg.h"
#include "report/ui/karta.h"
#include "results/ui/graf.h"
#include "results/ui/navig.h"
#include "tools/ui/fplg.h"
#include "tools/ui/fq5.h"
#include "tools/ui/pricid.h"

namespace app {

void InstallObjectWindows(Workbench& wb) {
    wb.setFactory(WindowKind::OD, [](Workbench& w) { return new object::OD(w); });
    wb.setFactory(WindowKind::SReg, [](Workbench& w) { return new regime::SReg(w); });
    wb.setFactory(WindowKind::Navig, [](Workbench& w) { return new results::Navig(w); });
    wb.setFactory(WindowKind::Regim, [](Workbench& w) { return new regime::Regim(w); });
    wb.setFactory(WindowKind::Edinic, [](Workbench& w) { return new object::Edinic(w); });
    wb.setFactory(WindowKind::Graf, [](Workbench& w) { return new results::Graf(w); });
    wb.setFactory(WindowKind::Grafmin, [](Workbench& w) { return new results::Grafmin(w); });
    wb.setFactory(WindowKind::FQ5, [](Workbench& w) { return new tools::fQ5(w); });
    wb.setFactory(WindowKind::Pricid, [](Workbench& w) { return new tools::Pricid(w); });
    wb.setFactory(WindowKind::FPlG, [](Workbench& w) { return new tools::fPlG(w); });
    wb.setFactory(WindowKind::Docum, [](Workbench& w) { return new docs::Docum(w); });
    wb.setFactory(WindowKind::Comport, [](Workbench& w) { return new analyser::comport(w); });
    wb.setFactory(WindowKind::Karta, [](Workbench& w) { return new report::Karta(w); });
}

}  // namespace app
