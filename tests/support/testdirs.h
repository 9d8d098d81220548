#pragma once
// Temporary program folders for tests: a home with "Все объекты" and a "Template" copied
// from the repository's template folder.

#include <QTemporaryDir>
#include <QString>
#include <QStringList>

#include "app/state.h"
#include "support/qtprint.h"

namespace testing_support {

class TestHome {
public:
    TestHome();
    bool ok() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString objects() const;
    QString templ() const;
    // Sets the folders of a state to this home.
    void apply(app::AppState& s) const;
    // A plain object folder with the given general data (19 entries; missing ones empty),
    // the template units and counters 0. Returns its folder.
    QString makeObject(const QString& name, const QStringList& general = {}) const;

private:
    QTemporaryDir dir_;
};

QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);
// General data of a gas-fired hot-water boiler in kW, q5 at all loads, no economiser.
QStringList HotWaterGasGeneral(const QString& name);
// The 43 field texts of a measured regime that passes the data check of such an object.
QStringList MeasuredGasRegimeFields();

}  // namespace testing_support
