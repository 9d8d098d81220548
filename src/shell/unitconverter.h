#pragma once
// A small converter for the units the program uses: pressures, outputs, and CO and NOx
// concentrations between ppm and mg/m3, with the program's own factors.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;

namespace shell {

// Pressure units, in this order: кгс/см2, кгс/м2, мм вод.ст., бар, мбар, Па, кПа.
QStringList PressureUnits();
// Output units: кВт, МВт, Гкал/час.
QStringList OutputUnits();
double ConvertPressure(double value, int fromUnit, int toUnit);
double ConvertOutput(double value, int fromUnit, int toUnit);

enum class Gas { CO, NOx };
// mg/m3 per ppm: 28*766/17033.634 for CO, 46*766/17033.634 for NOx counted as NO2.
double MgPerPpm(Gas gas);
double PpmToMg(double ppm, Gas gas);
double MgToPpm(double mg, Gas gas);

class UnitConverter : public QDialog {
    Q_OBJECT
public:
    explicit UnitConverter(QWidget* parent = nullptr);

    QLineEdit* PressureValue;
    QComboBox* PressureUnit;
    QList<QLabel*> PressureResults;  // one per pressure unit
    QLineEdit* OutputValue;
    QComboBox* OutputUnit;
    QList<QLabel*> OutputResults;  // one per output unit
    QLineEdit* GasValue;
    QComboBox* GasUnit;  // "ppm" or "мг/м3"
    QLabel* CoResult;
    QLabel* NoxResult;

private:
    void update();
};

}  // namespace shell
