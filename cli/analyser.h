#pragma once
// The gas analyser commands of kalvaro-cli.
//
//   kalvaro-cli analyser OBJECTDIR REGIMEFILE --port PATH [--settings 9600,N,8,1] [--period 4]
//               [--count K] [--before-economiser] [--temperature]
//       reads the analyser into the regime as the serial link window does: every period one
//       reading is put into the flue-gas fields, the regime is saved, calculated and the list
//       sorted. Runs K readings, or until Ctrl+C without --count.
//   kalvaro-cli analyser-sim [--period S] [--link PATH] [--fuel gas|oil] [--seed N]
//       a pretend analyser on a pseudo-terminal, for trying the link without hardware.

#include <QStringList>

namespace cli {

// Exit codes: 0 done, 1 a port or file failure, 2 usage, 3 done but some readings failed
// the data check (saved, not calculated).
int AnalyserCommand(const QStringList& args);
int AnalyserSimCommand(const QStringList& args);

extern const char* const kAnalyserUsage;

}  // namespace cli
