#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/clock.h"
#include "text/errors.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvela {
namespace {

using namespace Qt::StringLiterals;
using test::TempProgramFolder;

const QString kIni = u"Tarvela.ini"_s;

AppSettings LoadFrom(const QByteArray& iniBytes) {
    TempProgramFolder folder;
    folder.writeBytes(kIni, iniBytes);
    return LoadSettings(folder.path());
}

TEST(SettingsFileLoad, NoFileGivesTheDefaultsAndCreatesNothing) {
    ScopedToday today(QDate(2031, 6, 15));
    TempProgramFolder folder;
    const AppSettings s = LoadSettings(folder.path());
    EXPECT_EQ(s.AktualniRok, 2031);
    EXPECT_EQ(s.VychoziMena, u"CZK"_s);
    EXPECT_FALSE(s.Platce);
    EXPECT_EQ(s.SazbaDPH1, 21);
    // The rates in force since 2024; the third slot offers no further rate.
    EXPECT_EQ(s.SazbaDPH2, 12);
    EXPECT_EQ(s.SazbaDPH3, 0);
    EXPECT_EQ(s.DobaSplatnosti, 14);
    EXPECT_EQ(s.TypSymbolu, SymbolType::Variable);
    EXPECT_EQ(s.PoznamkaOsvobozeni, QString());
    EXPECT_EQ(s.Dodavatel, SupplierData{});
    EXPECT_FALSE(folder.exists(kIni));
}

TEST(SettingsFileLoad, IntegerAndBooleanValuesFollowTheReadingRules) {
    ScopedToday today(QDate(2026, 1, 1));
    const struct {
        QByteArray line;
        int rok;
        bool platce;
        int typ;
    } cases[] = {
        {"AktualniRok=0x7E6", 2022, false, 1},
        {"AktualniRok=0X7e6", 2022, false, 1},
        {"AktualniRok=abc", 2026, false, 1},
        {"AktualniRok=", 2026, false, 1},
        {"AktualniRok=0x", 2026, false, 1},   // too short for hexadecimal, no decimal either
        {"AktualniRok=0xG1", 2026, false, 1}, // not hexadecimal
        {"AktualniRok=2147483647", 2147483647, false, 1},
        {"AktualniRok=2147483648", 2026, false, 1}, // overflow
        {"AktualniRok=-2147483648", -2147483648, false, 1},
        {"AktualniRok=0xFFFFFFFF", -1, false, 1},
        {"AktualniRok=0x100000000", 2026, false, 1},
        {"AktualniRok=+2030", 2030, false, 1},
        {"AktualniRok=20 30", 2026, false, 1},
        {"AktualniRok=   2029   ", 2029, false, 1}, // spaces around the value do not count
        {"Platce=2", 2026, true, 1},
        {"Platce=1", 2026, true, 1},
        {"Platce=0", 2026, false, 1},
        {"Platce=", 2026, false, 1},
        {"Platce=ano", 2026, false, 1},
        {"TypSymbolu=0", 2026, false, 0},
        {"TypSymbolu=256", 2026, false, 0}, // only the low byte counts
        {"TypSymbolu=257", 2026, false, 1},
        {"TypSymbolu=7", 2026, false, 7},
        {"TypSymbolu=-1", 2026, false, 255},
        {"TypSymbolu=x", 2026, false, 1},
    };
    for (const auto& c : cases) {
        const AppSettings s = LoadFrom("[NASTAVENI]\r\n" + c.line + "\r\n");
        EXPECT_EQ(s.AktualniRok, c.rok) << c.line.toStdString();
        EXPECT_EQ(s.Platce, c.platce) << c.line.toStdString();
        EXPECT_EQ(static_cast<int>(s.TypSymbolu), c.typ) << c.line.toStdString();
    }
}

TEST(SettingsFileLoad, SectionsAndKeysMatchWithoutRegardToCaseAndSpacing) {
    const AppSettings s =
        LoadFrom("; comment line\r\n"
                 "orphan=before any section\r\n"
                 "  [ nastaveni ]  \n"
                 "  vychozimena  =  EUR  \n"
                 "PLATCE=1\r"
                 "sazbadph1 = 20\r\n"
                 "; SazbaDPH2=99\r\n"
                 "no equals sign here\r\n"
                 "SazbaDPH3=8\r\n"
                 "SazbaDPH3=9\r\n" // the first one counts
                 "[DODAVATEL]\r\n"
                 "nazev=\"  Firma s mezerami  \"\r\n"
                 "Jmeno='Jan'\r\n"
                 "Ulice=\"neuzav\xF8"
                 "eno\r\n"
                 "[Nastaveni]\r\n" // a second section of the same name is not read
                 "DobaSplatnosti=30\r\n");
    EXPECT_EQ(s.VychoziMena, u"EUR"_s);
    EXPECT_TRUE(s.Platce);
    EXPECT_EQ(s.SazbaDPH1, 20);
    EXPECT_EQ(s.SazbaDPH2, 12);
    EXPECT_EQ(s.SazbaDPH3, 8);
    EXPECT_EQ(s.DobaSplatnosti, 14);
    EXPECT_EQ(s.Dodavatel.Nazev, u"  Firma s mezerami  "_s);
    EXPECT_EQ(s.Dodavatel.Jmeno, u"Jan"_s);
    EXPECT_EQ(s.Dodavatel.Ulice, u"\"neuzavřeno"_s);
}

TEST(SettingsFileLoad, PresentEmptyTextIsEmptyAndLongValuesAreCut) {
    const QByteArray longValue(3000, 'x');
    const AppSettings s =
        LoadFrom("[NASTAVENI]\r\nVychoziMena=\r\n[Dodavatel]\r\nNazev=" + longValue +
                 "\r\nJmeno=" + QByteArray(2047, 'y') + "\r\n");
    EXPECT_EQ(s.VychoziMena, QString());
    EXPECT_EQ(s.Dodavatel.Nazev, QString(2047, u'x'));
    EXPECT_EQ(s.Dodavatel.Jmeno, QString(2047, u'y'));
}

AppSettings SampleSettings() {
    AppSettings s;
    s.AktualniRok = 1990; // never written by SaveSettings
    s.VychoziMena = u"EUR"_s;
    s.Platce = true;
    s.SazbaDPH1 = 21;
    s.SazbaDPH2 = 12;
    s.SazbaDPH3 = 0;
    s.DobaSplatnosti = 30;
    s.TypSymbolu = SymbolType::Constant;
    SupplierData& d = s.Dodavatel;
    d.Nazev = u"Šťastný a syn, s.r.o."_s;
    d.Jmeno = u"Jiří Ýbl"_s;
    d.Ulice = u"Ťukalova 5"_s;
    d.Mesto = u"602 00 Brno"_s;
    d.ICO = u"12345678"_s;
    d.DIC = u"CZ12345678"_s;
    d.Registrace = u"KS Brno, C 123"_s;
    d.Banka = u"Banka"_s;
    d.Ucet = u"123456789/0100"_s;
    d.IBAN = u"CZ6501000000000123456789"_s;
    d.BIC = u"KOMBCZPP"_s;
    d.Tel = u"+420 123 456 789"_s;
    d.Fax = u""_s;
    d.Email = u"info@example.cz"_s;
    d.WWW = u"www.example.cz"_s;
    d.Osoba = u"Jiří Šťastný"_s;
    return s;
}

TEST(SettingsFileSave, FirstSaveCreatesBothSectionsInOrderInWindows1250) {
    TempProgramFolder folder;
    SaveSettings(folder.path(), SampleSettings());
    const QByteArray expected = "[NASTAVENI]\r\n"
                                "VychoziMena=EUR\r\n"
                                "Platce=1\r\n"
                                "SazbaDPH1=21\r\n"
                                "SazbaDPH2=12\r\n"
                                "SazbaDPH3=0\r\n"
                                "DobaSplatnosti=30\r\n"
                                "TypSymbolu=0\r\n"
                                "\r\n"
                                "[Dodavatel]\r\n"
                                "Nazev=\x8A\x9D"
                                "astn\xFD a syn, s.r.o.\r\n"
                                "Jmeno=Ji\xF8\xED \xDD"
                                "bl\r\n"
                                "Ulice=\x8Dukalova 5\r\n"
                                "Mesto=602 00 Brno\r\n"
                                "ICO=12345678\r\n"
                                "DIC=CZ12345678\r\n"
                                "Registrace=KS Brno, C 123\r\n"
                                "Banka=Banka\r\n"
                                "Ucet=123456789/0100\r\n"
                                "IBAN=CZ6501000000000123456789\r\n"
                                "BIC=KOMBCZPP\r\n"
                                "Tel=+420 123 456 789\r\n"
                                "Fax=\r\n"
                                "Email=info@example.cz\r\n"
                                "WWW=www.example.cz\r\n"
                                "Osoba=Ji\xF8\xED \x8A\x9D"
                                "astn\xFD\r\n";
    EXPECT_EQ(folder.readBytes(kIni), expected);

    AppSettings back = LoadSettings(folder.path());
    AppSettings sample = SampleSettings();
    sample.AktualniRok = back.AktualniRok;
    EXPECT_EQ(back, sample);
}

TEST(SettingsFileSave, PeriodYearBeforeTheFirstSaveOpensTheSectionAndLaterSavesKeepIt) {
    TempProgramFolder folder;
    SavePeriodYear(folder.path(), 2027);
    EXPECT_EQ(folder.readBytes(kIni), "[NASTAVENI]\r\nAktualniRok=2027\r\n");
    SaveSettings(folder.path(), SampleSettings());
    const QByteArray bytes = folder.readBytes(kIni);
    EXPECT_TRUE(bytes.startsWith("[NASTAVENI]\r\nAktualniRok=2027\r\nVychoziMena=EUR\r\n"));
    EXPECT_EQ(LoadSettings(folder.path()).AktualniRok, 2027);
    SavePeriodYear(folder.path(), 2028);
    EXPECT_EQ(folder.readBytes(kIni),
              QByteArray(bytes).replace("AktualniRok=2027", "AktualniRok=2028"));
}

// A hand-written file keeps its comments, spacing, unknown keys and line ends; only the written
// keys change, in place or added at the end of their section.
TEST(SettingsFileSave, HandWrittenFileSurvivesSaveAndPeriodChange) {
    const QByteArray hand = "; Tarvela settings, edited by hand\r\n"
                            "[Nastaveni]\r\n"
                            "  aktualnirok = 2024 ; not a comment, part of the value\r\n"
                            "vychozimena =  USD\n"
                            "Neznamy=zachovat\r\n"
                            "SazbaDPH2=15\r\n"
                            "\r\n"
                            "; between sections\r\n"
                            "\r\n"
                            "[Jine]\r\n"
                            "Platce=7\r\n"
                            "[dodavatel]\r\n"
                            "NAZEV=Stará firma\r\n"
                            "Poznamka=ponechat";
    TempProgramFolder folder;
    folder.writeBytes(kIni, hand);

    SavePeriodYear(folder.path(), 2026);
    const QByteArray afterPeriod = "; Tarvela settings, edited by hand\r\n"
                                   "[Nastaveni]\r\n"
                                   "  aktualnirok =2026\r\n"
                                   "vychozimena =  USD\n"
                                   "Neznamy=zachovat\r\n"
                                   "SazbaDPH2=15\r\n"
                                   "\r\n"
                                   "; between sections\r\n"
                                   "\r\n"
                                   "[Jine]\r\n"
                                   "Platce=7\r\n"
                                   "[dodavatel]\r\n"
                                   "NAZEV=Stará firma\r\n"
                                   "Poznamka=ponechat";
    ASSERT_EQ(folder.readBytes(kIni), afterPeriod);

    AppSettings s = SampleSettings();
    s.Dodavatel = SupplierData{};
    s.Dodavatel.Nazev = u"Nová"_s;
    SaveSettings(folder.path(), s);
    const QByteArray afterSave = "; Tarvela settings, edited by hand\r\n"
                                 "[Nastaveni]\r\n"
                                 "  aktualnirok =2026\r\n"
                                 "vychozimena =EUR\n"
                                 "Neznamy=zachovat\r\n"
                                 "SazbaDPH2=12\r\n"
                                 "Platce=1\r\n"
                                 "SazbaDPH1=21\r\n"
                                 "SazbaDPH3=0\r\n"
                                 "DobaSplatnosti=30\r\n"
                                 "TypSymbolu=0\r\n"
                                 "\r\n"
                                 "; between sections\r\n"
                                 "\r\n"
                                 "[Jine]\r\n"
                                 "Platce=7\r\n"
                                 "[dodavatel]\r\n"
                                 "NAZEV=Nov\xE1\r\n"
                                 "Poznamka=ponechat\r\n"
                                 "Jmeno=\r\n"
                                 "Ulice=\r\n"
                                 "Mesto=\r\n"
                                 "ICO=\r\n"
                                 "DIC=\r\n"
                                 "Registrace=\r\n"
                                 "Banka=\r\n"
                                 "Ucet=\r\n"
                                 "IBAN=\r\n"
                                 "BIC=\r\n"
                                 "Tel=\r\n"
                                 "Fax=\r\n"
                                 "Email=\r\n"
                                 "WWW=\r\n"
                                 "Osoba=\r\n";
    EXPECT_EQ(folder.readBytes(kIni), afterSave) << folder.readBytes(kIni).toStdString();

    const AppSettings back = LoadSettings(folder.path());
    EXPECT_EQ(back.AktualniRok, 2026);
    EXPECT_EQ(back.VychoziMena, u"EUR"_s);
    EXPECT_EQ(back.Dodavatel.Nazev, u"Nová"_s);
}

TEST(SettingsFileSave, SingleKeyWritesOfTheIniLayer) {
    TempProgramFolder folder;
    const QString path = folder.file(u"x.ini"_s);
    WriteIniString(path, u"A"_s, u"k"_s, u"1"_s);
    WriteIniString(path, u"B"_s, u"k"_s, u"2"_s);
    WriteIniString(path, u"a"_s, u"K2"_s, u"3"_s); // goes to the end of section A
    WriteIniString(path, u"A"_s, u"K"_s, u"4"_s);  // replaces k in place
    EXPECT_EQ(folder.readBytes(u"x.ini"_s), "[A]\r\nk=4\r\nK2=3\r\n\r\n[B]\r\nk=2\r\n");
    const IniFile ini = IniFile::Load(path);
    EXPECT_EQ(ini.Value(u"b"_s, u"K"_s), u"2"_s);
    EXPECT_EQ(ini.Value(u"C"_s, u"k"_s), std::nullopt);
    EXPECT_EQ(ini.ReadInteger(u"A"_s, u"k2"_s, 0), 3);
}

TEST(SettingsFileSave, UnstorableValuesAreRefusedBeforeAnythingIsWritten) {
    TempProgramFolder folder;
    folder.writeBytes(kIni, "[NASTAVENI]\r\nVychoziMena=CZK\r\n");
    AppSettings s = SampleSettings();
    s.Dodavatel.Osoba = u"Jan\r\nNovák"_s; // the last key: nothing before it may be written
    try {
        SaveSettings(folder.path(), s);
        FAIL() << "no error";
    } catch (const ValidationError& e) {
        EXPECT_TRUE(e.message().contains(u"Odpovědná osoba"_s)) << e.message().toStdString();
    }
    s = SampleSettings();
    s.Dodavatel.Email = u"jan@příklad→cz"_s;
    try {
        SaveSettings(folder.path(), s);
        FAIL() << "no error";
    } catch (const EncodingError& e) {
        EXPECT_TRUE(e.message().contains(u"E-mail"_s)) << e.message().toStdString();
    }
    EXPECT_EQ(folder.readBytes(kIni), "[NASTAVENI]\r\nVychoziMena=CZK\r\n");
}

TEST(SettingsFileSave, FileThatCannotBeWrittenIsReportedWithItsPath) {
    TempProgramFolder folder;
    QDir().mkpath(folder.file(kIni)); // a folder where the file should be
    try {
        SavePeriodYear(folder.path(), 2026);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.message(),
                  u"Nastavení nelze zapsat do souboru „"_s + folder.file(kIni) +
                      u"“. Zkontrolujte, zda soubor není jen pro čtení a zda je na disku místo."_s);
    }
}

// A settings write that dies half-way leaves the previous file as it was.
TEST(SettingsFileSave, FailedWriteLeavesThePreviousFileIntact) {
    TempProgramFolder folder;
    const QByteArray previous = "[NASTAVENI]\r\nAktualniRok=2025\r\n; " + QByteArray(200, '#') +
                                "\r\n[Dodavatel]\r\nNazev=Firma\r\n";
    folder.writeBytes(kIni, previous);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 200; // smaller than the file
        setrlimit(RLIMIT_FSIZE, &limit);
        int code = 1;
        try {
            SavePeriodYear(folder.path(), 2026);
        } catch (const FileError& e) {
            code =
                e.message() ==
                        u"Nastavení nelze zapsat do souboru „"_s + folder.file(kIni) +
                            u"“. Zkontrolujte, zda soubor není jen pro čtení a zda je na disku místo."_s
                    ? 0
                    : 2;
        } catch (...) {
            code = 3;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(folder.readBytes(kIni), previous);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{kIni});
}

} // namespace
} // namespace tarvela
