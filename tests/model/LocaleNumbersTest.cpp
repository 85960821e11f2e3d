// Numbers of files, undo steps, the joint probe and reports under the C library's locale of the
// program's environment: a full stop, a comma, and a separator that is neither.
#include <QFileInfo>
#include <QMultiHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>

namespace {

struct TLocaleCase {
    const char* Name;
    // Decimal separators of the C library's and of Qt's locale data, and the one a file is
    // written with.
    const char* C;
    const char* Qt;
    const char* File;
};

void PrintTo(const TLocaleCase& c, std::ostream* os) {
    *os << c.Name;
}

// Locales made for the test only: the system's own set is left alone.
class LocaleNumbers : public ::testing::TestWithParam<TLocaleCase> {
protected:
    static void SetUpTestSuite() {
        localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
        if (localedef.isEmpty())
            return;
        folder = std::make_unique<QTemporaryDir>();
    }
    static void TearDownTestSuite() { folder.reset(); }

    // The locale's folder, made by localedef on first use; empty with the reason in why when this
    // machine cannot make it.
    static QString Make(const QString& name, QString& why) {
        const QString made = folder->filePath(name + QStringLiteral(".UTF-8"));
        if (QFileInfo::exists(made + QStringLiteral("/LC_NUMERIC")))
            return made;
        const QString source = QStringLiteral("/usr/share/i18n/locales/") + name;
        if (!QFileInfo::exists(source)) {
            why = source + QStringLiteral(" is missing (Debian package locales)");
            return {};
        }
        QProcess def;
        def.start(localedef, {QStringLiteral("-i"), name, QStringLiteral("-f"),
                              QStringLiteral("UTF-8"), made});
        // localedef exits with 1 after mere warnings; the locale's files tell whether it worked.
        def.waitForFinished(120000);
        EXPECT_TRUE(QFileInfo::exists(made + QStringLiteral("/LC_NUMERIC")))
            << def.readAllStandardError().toStdString();
        return made;
    }

    // The probe's "name=text" lines run under the locale; a name may come more than once.
    static QMultiHash<QString, QString> Probe(const QString& locale) {
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_NUMERIC", "LC_CTYPE", "LC_MESSAGES"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LOCPATH"), folder->path());
        env.insert(QStringLiteral("LC_ALL"), locale);
        env.insert(QStringLiteral("LANG"), locale);
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(TRABEX_LOCALE_NUMBERS_PROBE), {});
        EXPECT_TRUE(probe.waitForFinished(60000));
        EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
        QMultiHash<QString, QString> out;
        for (const QString& line : QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n')) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0)
                out.insert(line.left(eq), line.mid(eq + 1));
        }
        return out;
    }

    static inline QString localedef;
    static inline std::unique_ptr<QTemporaryDir> folder;
};

TEST_P(LocaleNumbers, FilesKeepTheirFractionsAndTheGeneralFormat) {
    if (localedef.isEmpty())
        GTEST_SKIP() << "localedef is not installed (Debian package libc-bin)";
    QString why;
    const QString made = Make(QString::fromLatin1(GetParam().Name), why);
    if (made.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const auto out = Probe(QFileInfo(made).fileName());
    const QString sep = QString::fromUtf8(GetParam().Qt);
    const QString file = QString::fromUtf8(GetParam().File);
    // The locale took effect in the C library and in Qt, or nothing below would be tested.
    ASSERT_EQ(out.value(QStringLiteral("c_separator")), QString::fromUtf8(GetParam().C));
    ASSERT_EQ(out.value(QStringLiteral("qt_separator")), sep);

    const QStringList written = out.values(QStringLiteral("file"));
    for (const QString& entry :
         {QStringLiteral("Sila0=2") + file + QStringLiteral("5"),
          QStringLiteral("Uhel0=90") + file + QStringLiteral("5"), QStringLiteral("Sila1=10"),
          QStringLiteral("Uhel1=90"), QStringLiteral("Sila2=1E20"), QStringLiteral("Uhel2=1E-6")})
        EXPECT_TRUE(written.contains(entry))
            << entry.toStdString() << " not in " << written.join(u' ').toStdString();

    EXPECT_EQ(out.value(QStringLiteral("undo_sila")), QStringLiteral("2.5"));
    EXPECT_EQ(out.value(QStringLiteral("undo_uhel")), QStringLiteral("90.5"));
    // Method of joints, with F = 2.5 at 90.5° (y downward) at the apex C = (140, 40), rafters to
    // A = (40, 140) and B = (240, 140) at 45°, tension positive. At C:
    //   x: (-N_CA + N_CB)/√2 + Fx = 0,  y: (N_CA + N_CB)/√2 + Fy = 0;
    // at B, whose support takes y only: N_AB = -N_CB/√2. A load read as 0 gives a total of 0.
    const double fx = 2.5 * std::cos(90.5 * M_PI / 180);
    const double fy = 2.5 * std::sin(90.5 * M_PI / 180);
    const double nCA = (fx - fy) / std::sqrt(2.0);
    const double nCB = -(fx + fy) / std::sqrt(2.0);
    const double nAB = -nCB / std::sqrt(2.0);
    const double sumAbs = std::fabs(nCA) + std::fabs(nCB) + std::fabs(nAB);
    EXPECT_NEAR(out.value(QStringLiteral("probe_sum_abs")).toDouble(), sumAbs, 1e-9);

    EXPECT_EQ(out.value(QStringLiteral("report_fixed")), QStringLiteral("-12") + sep + u'5');
    EXPECT_EQ(out.value(QStringLiteral("report_scientific")),
              QStringLiteral("1") + sep + QStringLiteral("2346E8"));
    EXPECT_EQ(out.value(QStringLiteral("listing")), QStringLiteral("    0") + sep + u'5');
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleNumbers,
                         ::testing::Values(TLocaleCase{"en_US", ".", ".", "."},
                                           TLocaleCase{"cs_CZ", ",", ",", ","},
                                           // The Arabic decimal separator U+066B.
                                           TLocaleCase{"fa_IR", ".", "\u066b", "."},
                                           TLocaleCase{"ps_AF", "\u066b", "\u066b", "."}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
