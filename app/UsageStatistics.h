// Counting program starts and the one usage request at the first start of each version.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class TSettingsStore;

// Host of the statistics server, a build setting; empty means no usage request is ever made.
extern QString UsageServerHost;
// Opens a usage address in the user's web browser; automated runs replace it.
extern std::function<void(const QUrl&)> UsageUrlOpener;

// http://host/?run=R&ns=N&ver=V
QUrl UsageAddress(const QString& host, int run, int ns, const QString& version);

// Counts this start under "Info"/"NoOfExecute". At the first start of version, records the usage
// stamp under "VersionUsed" and returns the usage address (none when the host is empty).
std::optional<QUrl> RecordProgramStart(TSettingsStore& store, const QString& version,
                                       const QString& host);
