// The commands of trabex-cli: report, equations, json, csv, steps, probe and render of a .trs
// file.
#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

// Bad input: the message is printed on one line and the program exits with code 2.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs the command named by args[0]; writes its output to out. Throws EUsageError on bad input.
void RunCliCommand(const QStringList& args, QString& out);

QString CliUsage();
