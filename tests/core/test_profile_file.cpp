#include "core/profile_file.h"
#include "tests/support/test_context.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

const QString Default = QStringLiteral("<default>");

// A file saved as "Unicode" (UTF-16 little-endian with its byte order mark), or big-endian.
QByteArray utf16(const QString& text) {
    QByteArray bytes("\xFF\xFE");
    for (const QChar c : text)
        bytes += char(c.unicode() & 0xFF) + QByteArray(1, char(c.unicode() >> 8));
    return bytes;
}

QByteArray utf16BigEndian(const QString& text) {
    QByteArray bytes("\xFE\xFF");
    for (const QChar c : text)
        bytes += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xFF));
    return bytes;
}

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

private slots:
    void readString_data();
    void readString();
    void writeString_data();
    void writeString();
    void readBool_data();
    void readBool();
    void writeBool();
    void everyReadSeesTheFileAsItIsNow();
    void fileFoundWhateverTheCaseOfItsName_data();
    void fileFoundWhateverTheCaseOfItsName();
    void missingOrUnreadableFileReadsDefaults();
    void refusedWriteRaises_data();
    void refusedWriteRaises();
};

void TestProfileFile::readString_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("crlf file") << QByteArray(
                                      "[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\nCHANGED_DAYS=3\r\n")
                               << "GENERAL"
                               << "CHANGED_DAYS"
                               << "3";
    QTest::newRow("lf file") << QByteArray("[GENERAL]\nACCOUNT_TYPE=SQLACC\nCHANGED_DAYS=3\n")
                             << "GENERAL"
                             << "ACCOUNT_TYPE"
                             << "SQLACC";
    QTest::newRow("no final newline") << QByteArray("[GENERAL]\r\nCHANGED_DAYS=3") << "GENERAL"
                                      << "CHANGED_DAYS"
                                      << "3";
    QTest::newRow("names without case")
        << QByteArray("[general]\r\nChanged_Days=3\r\n") << "GENERAL"
        << "CHANGED_DAYS"
        << "3";
    QTest::newRow("blanks around names and values")
        << QByteArray("  [ GENERAL ]  \r\n\t CHANGED_DAYS \t=  3 x \t\r\n") << "GENERAL"
        << "CHANGED_DAYS"
        << "3 x";
    QTest::newRow("double quotes dropped")
        << QByteArray("[A]\r\nKEY= \"C:\\Led vora \" \r\n") << "A"
        << "KEY"
        << "C:\\Led vora ";
    QTest::newRow("single quotes dropped") << QByteArray("[A]\r\nKEY='abc'\r\n") << "A"
                                           << "KEY"
                                           << "abc";
    QTest::newRow("one pair of quotes only") << QByteArray("[A]\r\nKEY=\"\"abc\"\"\r\n") << "A"
                                             << "KEY"
                                             << "\"abc\"";
    QTest::newRow("unmatched quotes kept") << QByteArray("[A]\r\nKEY=\"abc'\r\n") << "A"
                                           << "KEY"
                                           << "\"abc'";
    QTest::newRow("lone quote kept") << QByteArray("[A]\r\nKEY=\"\r\n") << "A"
                                     << "KEY"
                                     << "\"";
    QTest::newRow("value holding =") << QByteArray("[A]\r\nKEY=a=b\r\n") << "A"
                                     << "KEY"
                                     << "a=b";
    QTest::newRow("present but empty: no default") << QByteArray("[A]\r\nKEY=\r\n") << "A"
                                                   << "KEY"
                                                   << "";
    QTest::newRow("line without = reads the default") << QByteArray("[A]\r\nKEY\r\n") << "A"
                                                      << "KEY" << Default;
    QTest::newRow("line without = before the key") << QByteArray("[A]\r\nKEY\r\nKEY=2\r\n") << "A"
                                                   << "KEY" << Default;
    QTest::newRow("line without = after the key") << QByteArray("[A]\r\nKEY=2\r\nKEY\r\n") << "A"
                                                  << "KEY"
                                                  << "2";
    QTest::newRow("missing key") << QByteArray("[A]\r\nOTHER=1\r\n") << "A"
                                 << "KEY" << Default;
    QTest::newRow("missing section") << QByteArray("[B]\r\nKEY=1\r\n") << "A"
                                     << "KEY" << Default;
    QTest::newRow("first of duplicate keys") << QByteArray("[A]\r\nKEY=1\r\nkey=2\r\n") << "A"
                                             << "KEY"
                                             << "1";
    QTest::newRow("only the first of duplicate sections")
        << QByteArray("[A]\r\nX=1\r\n[B]\r\nKEY=b\r\n[a]\r\nKEY=2\r\n") << "A"
        << "KEY" << Default;
    QTest::newRow("comment lines") << QByteArray("[A]\r\n;KEY=1\r\n \t; KEY=2\r\n") << "A"
                                   << "KEY" << Default;
    QTest::newRow("semicolon inside a value") << QByteArray("[A]\r\nKEY=a ; b\r\n") << "A"
                                              << "KEY"
                                              << "a ; b";
    QTest::newRow("key before the first section") << QByteArray("KEY=0\r\n[A]\r\nX=1\r\n") << "A"
                                                  << "KEY" << Default;
    QTest::newRow("key of the next section") << QByteArray("[A]\r\nX=1\r\n[B]\r\nKEY=2\r\n") << "A"
                                             << "KEY" << Default;
    QTest::newRow("utf-8 bom skipped") << QByteArray("\xEF\xBB\xBF[A]\r\nKEY=1\r\n") << "A"
                                       << "KEY"
                                       << "1";
    QTest::newRow("ansi text") << QByteArray("[A]\r\nKEY=Caf\xE9\r\n") << "A"
                               << "KEY" << QString::fromUtf8("Caf\u00E9");
    QTest::newRow("ansi is code page 1252") << QByteArray("[A]\r\nKEY=5\x80 \x93q\x94\r\n") << "A"
                                            << "KEY" << QString::fromUtf8("5\u20AC \u201Cq\u201D");
    QTest::newRow("cr line ends") << QByteArray("[A]\rX=1\rKEY=2\r") << "A"
                                  << "KEY"
                                  << "2";
    QTest::newRow("cr line ends end a section") << QByteArray("[A]\rX=1\r[B]\rKEY=2\r") << "A"
                                                << "KEY" << Default;
    QTest::newRow("cr, lf and crlf mixed") << QByteArray("[B]\rX=1\r\n[A]\nY=1\rKEY=2") << "A"
                                           << "KEY"
                                           << "2";
    QTest::newRow("utf-16") << utf16(QString::fromUtf8(
                                   "[GENERAL]\r\nEXPORT_MODE=1\r\nNAME=Caf\u00E9\u20AC \u6771\r\n"))
                            << "GENERAL"
                            << "NAME" << QString::fromUtf8("Caf\u00E9\u20AC \u6771");
    QTest::newRow("utf-16: names without case")
        << utf16("[General]\r\n Export_Mode = '1' \r\n") << "GENERAL"
        << "EXPORT_MODE"
        << "1";
    QTest::newRow("utf-16: cr line ends") << utf16("[A]\rX=1\rKEY=2\r") << "A"
                                          << "KEY"
                                          << "2";
    QTest::newRow("utf-16: line without =") << utf16("[A]\r\nKEY\r\n") << "A"
                                            << "KEY" << Default;
    QTest::newRow("utf-16 big-endian") << utf16BigEndian("[A]\r\nKEY=\u20AC1\r\n") << "A"
                                       << "KEY" << QString::fromUtf8("\u20AC1");
    QTest::newRow("utf-16: mark only") << QByteArray("\xFF\xFE") << "A"
                                       << "KEY" << Default;
    QTest::newRow("empty file") << QByteArray() << "A"
                                << "KEY" << Default;
}

void TestProfileFile::readString() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TestContext context;
    writeBytes(context.path("test.ini"), content);

    QCOMPARE(ProfileFile(context.path("test.ini")).readString(section, key, Default), expected);
}

void TestProfileFile::writeString_data() {
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("replace keeps every other line")
        << true
        << QByteArray("; Ledvora settings\r\n[GENERAL]\r\nLEDVORA_PATH=C:\\x\r\n  account_type = "
                      "\"UBS\" \r\nUnknown_Key=1\r\n\r\n[UBS]\r\nACCOUNT_TYPE=keep\r\n")
        << "GENERAL"
        << "ACCOUNT_TYPE"
        << "SQLACC"
        << QByteArray("; Ledvora settings\r\n[GENERAL]\r\nLEDVORA_PATH=C:\\x\r\nACCOUNT_TYPE=SQLACC"
                      "\r\nUnknown_Key=1\r\n\r\n[UBS]\r\nACCOUNT_TYPE=keep\r\n")
        << "SQLACC";
    QTest::newRow("new key after the section's last key")
        << true << QByteArray("[GENERAL]\r\nA=1\r\n;note\r\n\r\n[UBS]\r\nB=2\r\n") << "GENERAL"
        << "C"
        << "3" << QByteArray("[GENERAL]\r\nA=1\r\nC=3\r\n;note\r\n\r\n[UBS]\r\nB=2\r\n") << "3";
    QTest::newRow("new key in a section without keys")
        << true << QByteArray("[GENERAL]\r\n\r\n[UBS]\r\nB=2\r\n") << "GENERAL"
        << "C"
        << "3" << QByteArray("[GENERAL]\r\nC=3\r\n\r\n[UBS]\r\nB=2\r\n") << "3";
    QTest::newRow("commented key is not the key")
        << true << QByteArray("[A]\r\n;X=1\r\nY=2\r\n") << "A"
        << "X"
        << "5" << QByteArray("[A]\r\n;X=1\r\nY=2\r\nX=5\r\n") << "5";
    QTest::newRow("new section appended")
        << true << QByteArray("[A]\r\nX=1\r\n") << "B"
        << "Y"
        << "2" << QByteArray("[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n") << "2";
    QTest::newRow("new section after a blank last line")
        << true << QByteArray("[A]\r\nX=1\r\n\r\n") << "B"
        << "Y"
        << "2" << QByteArray("[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n") << "2";
    QTest::newRow("lf file: new section") << true << QByteArray("[A]\nX=1\n") << "B"
                                          << "Y"
                                          << "2" << QByteArray("[A]\nX=1\n\n[B]\nY=2\n") << "2";
    QTest::newRow("lf file: new key") << true << QByteArray("[A]\nX=1\n\n") << "A"
                                      << "Z"
                                      << "2" << QByteArray("[A]\nX=1\nZ=2\n\n") << "2";
    QTest::newRow("no final newline: new key") << true << QByteArray("[A]\r\nX=1") << "A"
                                               << "Z"
                                               << "2" << QByteArray("[A]\r\nX=1\r\nZ=2\r\n") << "2";
    QTest::newRow("no final newline: new section")
        << true << QByteArray("[A]\nX=1") << "B"
        << "Y"
        << "2" << QByteArray("[A]\nX=1\n\n[B]\nY=2\n") << "2";
    QTest::newRow("no final newline: replaced") << true << QByteArray("[A]\r\nX=1") << "A"
                                                << "X"
                                                << "2" << QByteArray("[A]\r\nX=2") << "2";
    QTest::newRow("new file uses crlf") << false << QByteArray() << "A"
                                        << "X"
                                        << "1" << QByteArray("[A]\r\nX=1\r\n") << "1";
    QTest::newRow("empty file") << true << QByteArray() << "A"
                                << "X"
                                << "1" << QByteArray("[A]\r\nX=1\r\n") << "1";
    QTest::newRow("first of duplicate keys") << true << QByteArray("[A]\r\nX=1\r\nX=2\r\n") << "A"
                                             << "X"
                                             << "9" << QByteArray("[A]\r\nX=9\r\nX=2\r\n") << "9";
    QTest::newRow("first of duplicate sections")
        << true << QByteArray("[A]\r\nX=1\r\n\r\n[B]\r\n[A]\r\nY=2\r\n") << "A"
        << "Y"
        << "5" << QByteArray("[A]\r\nX=1\r\nY=5\r\n\r\n[B]\r\n[A]\r\nY=2\r\n") << "5";
    QTest::newRow("bom kept") << true << QByteArray("\xEF\xBB\xBF[A]\r\nX=1\r\n") << "A"
                              << "X"
                              << "2" << QByteArray("\xEF\xBB\xBF[A]\r\nX=2\r\n") << "2";
    QTest::newRow("ansi bytes survive")
        << true << QByteArray("[A]\r\nN=Caf\xE9\xFF\r\nX=1\r\n") << "A"
        << "X" << QString::fromUtf8("Caf\u00E9")
        << QByteArray("[A]\r\nN=Caf\xE9\xFF\r\nX=Caf\xE9\r\n") << QString::fromUtf8("Caf\u00E9");
    QTest::newRow("names matched without case")
        << true << QByteArray("[general]\r\naccount_type=UBS\r\n") << "GENERAL"
        << "ACCOUNT_TYPE"
        << "SQLACC" << QByteArray("[general]\r\nACCOUNT_TYPE=SQLACC\r\n") << "SQLACC";
    QTest::newRow("line without =") << true << QByteArray("[A]\r\nX\r\nY=2\r\n") << "A"
                                    << "X"
                                    << "1" << QByteArray("[A]\r\nX=1\r\nY=2\r\n") << "1";
    QTest::newRow("each line keeps its own ending")
        << true << QByteArray("[A]\r\nX=1\nY=2\r\n") << "A"
        << "Z"
        << "3" << QByteArray("[A]\r\nX=1\nY=2\r\nZ=3\r\n") << "3";
    // Files saved as "Unicode" stay UTF-16 with their mark, whatever is written; the bytes are
    // those Windows' own functions leave (as Wine implements them), except where noted.
    QTest::newRow("utf-16: replaced")
        << true << utf16("[GENERAL]\r\nEXPORT_MODE=1\r\n") << "GENERAL"
        << "EXPORT_MODE"
        << "0" << utf16("[GENERAL]\r\nEXPORT_MODE=0\r\n") << "0";
    QTest::newRow("utf-16: new key beyond code page 1252")
        << true << utf16("[GENERAL]\r\nA=1\r\n[B]\r\nX=1\r\n") << "GENERAL"
        << "NEW" << QString::fromUtf8("Caf\u00E9\u20AC \u6771")
        << utf16(QString::fromUtf8(
               "[GENERAL]\r\nA=1\r\nNEW=Caf\u00E9\u20AC \u6771\r\n[B]\r\nX=1\r\n"))
        << QString::fromUtf8("Caf\u00E9\u20AC \u6771");
    // Windows adds the section straight after the last line; a blank line before it, as in
    // every file the program writes, reads the same.
    QTest::newRow("utf-16: new section")
        << true << utf16("[GENERAL]\r\nA=1\r\n") << "SQLACC"
        << "PAYMENT_TERM"
        << "C.O.D" << utf16("[GENERAL]\r\nA=1\r\n\r\n[SQLACC]\r\nPAYMENT_TERM=C.O.D\r\n")
        << "C.O.D";
    QTest::newRow("utf-16: mark only") << true << QByteArray("\xFF\xFE") << "GENERAL"
                                       << "A"
                                       << "1" << utf16("[GENERAL]\r\nA=1\r\n") << "1";
    // Comments and blank lines stay where they were; Windows keeps them too, Wine drops blanks.
    QTest::newRow("utf-16: other lines kept")
        << true << utf16("; note\r\n[GENERAL]\r\nA=1\r\n\r\n[B]\r\nX=1") << "GENERAL"
        << "A"
        << "2" << utf16("; note\r\n[GENERAL]\r\nA=2\r\n\r\n[B]\r\nX=1") << "2";
    QTest::newRow("utf-16 big-endian: new key")
        << true << utf16BigEndian("[G]\r\nA=1\r\n") << "G"
        << "B" << QString::fromUtf8("\u20AC")
        << utf16BigEndian(QString::fromUtf8("[G]\r\nA=1\r\nB=\u20AC\r\n"))
        << QString::fromUtf8("\u20AC");
    QTest::newRow("ansi: euro in code page 1252")
        << true << QByteArray("[A]\r\nX=1\r\n") << "A"
        << "X" << QString::fromUtf8("5\u20AC") << QByteArray("[A]\r\nX=5\x80\r\n")
        << QString::fromUtf8("5\u20AC");
    QTest::newRow("ansi: character outside code page 1252")
        << true << QByteArray("[A]\r\nX=1\r\n") << "A"
        << "X" << QString::fromUtf8("\u6771") << QByteArray("[A]\r\nX=?\r\n") << "?";
    QTest::newRow("line without = before the key")
        << true << QByteArray("[A]\r\nK\r\nK=2\r\n") << "A"
        << "K"
        << "5" << QByteArray("[A]\r\nK=5\r\nK=2\r\n") << "5";
    // The other lines keep their own ends (Wine rewrites the whole file with CR LF).
    QTest::newRow("cr line ends: replaced") << true << QByteArray("[S]\rA=1\rB=2\r") << "S"
                                            << "B"
                                            << "3" << QByteArray("[S]\rA=1\rB=3\r") << "3";
    QTest::newRow("cr line ends: new key") << true << QByteArray("[S]\rA=1\r") << "S"
                                           << "C"
                                           << "3" << QByteArray("[S]\rA=1\rC=3\r") << "3";
    // A line break must not split the value into lines of their own (here: a key B).
    QTest::newRow("line break in a value")
        << false << QByteArray() << "A"
        << "X"
        << "a\r\nB=b\nc" << QByteArray("[A]\r\nX=a B=b c\r\n") << "a B=b c";
}

void TestProfileFile::writeString() {
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QFETCH(QString, readBack);
    TestContext context;
    const QString path = context.path("Ledvora.ini");
    if (fileExists)
        writeBytes(path, before);

    ProfileFile(path).writeString(section, key, value);

    QCOMPARE(readBytes(path), after);
    QCOMPARE(ProfileFile(path).readString(section, key, Default), readBack);
    // Saved through a temporary file that is renamed, not left beside it.
    QCOMPARE(QDir(context.folder()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Ledvora.ini"});
}

void TestProfileFile::readBool_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");

    QTest::newRow("1") << QByteArray("FLAG=1") << false << true;
    QTest::newRow("0") << QByteArray("FLAG=0") << true << false;
    QTest::newRow("other non-zero") << QByteArray("FLAG=-2") << false << true;
    QTest::newRow("plus sign") << QByteArray("FLAG=+7") << false << true;
    QTest::newRow("blanks and quotes dropped first") << QByteArray("FLAG = '0' ") << true << false;
    QTest::newRow("text: default true") << QByteArray("FLAG=Y") << true << true;
    QTest::newRow("text: default false") << QByteArray("FLAG=Y") << false << false;
    QTest::newRow("decimal point") << QByteArray("FLAG=1.0") << false << false;
    QTest::newRow("out of range") << QByteArray("FLAG=99999999999") << false << false;
    QTest::newRow("empty") << QByteArray("FLAG=") << true << true;
    QTest::newRow("missing") << QByteArray() << true << true;
}

void TestProfileFile::readBool() {
    QFETCH(QByteArray, line);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);
    TestContext context;
    writeBytes(context.path("test.ini"), "[A]\r\n" + line + "\r\n");

    QCOMPARE(ProfileFile(context.path("test.ini")).readBool("A", "FLAG", defaultValue), expected);
}

void TestProfileFile::writeBool() {
    TestContext context;
    ProfileFile file(context.path("test.ini"));

    file.writeBool("UBS", "INCLUDE_REMARK", true);
    file.writeBool("AUTOCOUNT", "INCLUDE_REMARK", false);

    QCOMPARE(readBytes(file.path()),
             QByteArray("[UBS]\r\nINCLUDE_REMARK=1\r\n\r\n[AUTOCOUNT]\r\nINCLUDE_REMARK=0\r\n"));
    QCOMPARE(file.readBool("UBS", "INCLUDE_REMARK", false), true);
    QCOMPARE(file.readBool("AUTOCOUNT", "INCLUDE_REMARK", true), false);
}

// No cache: a change made by another object, or outside the program, shows in the next read.
void TestProfileFile::everyReadSeesTheFileAsItIsNow() {
    TestContext context;
    const QString path = context.path("Ledvora.ini");
    ProfileFile reader(path);
    ProfileFile writer(path);
    QCOMPARE(reader.readString("GENERAL", "EXPORT_MODE", "0"), QString("0"));

    writer.writeString("GENERAL", "EXPORT_MODE", "1");
    QCOMPARE(reader.readString("GENERAL", "EXPORT_MODE", "0"), QString("1"));

    writeBytes(path, "[GENERAL]\r\nEXPORT_MODE=7\r\n");
    QCOMPARE(reader.readString("GENERAL", "EXPORT_MODE", "0"), QString("7"));
    // Rewritten in place at once, to the same size: still seen.
    writeBytes(path, "[GENERAL]\r\nEXPORT_MODE=8\r\n");
    QCOMPARE(reader.readString("GENERAL", "EXPORT_MODE", "0"), QString("8"));
    QCOMPARE(reader.readString("GENERAL", "OTHER", "none"), QString("none"));

    QVERIFY(QFile::remove(path));
    QCOMPARE(reader.readString("GENERAL", "EXPORT_MODE", "0"), QString("0"));
}

void TestProfileFile::fileFoundWhateverTheCaseOfItsName_data() {
    QTest::addColumn<QStringList>(
        "present"); // names in the folder before, the first one holding A=1
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("used"); // the file read and written
    QTest::newRow("upper case") << QStringList{"LEDVORA.INI"} << "Ledvora.ini"
                                << "LEDVORA.INI";
    QTest::newRow("lower case") << QStringList{"register.ini"} << "Register.ini"
                                << "register.ini";
    QTest::newRow("mixed case") << QStringList{"dataBASES.Ini"} << "Databases.ini"
                                << "dataBASES.Ini";
    QTest::newRow("as written") << QStringList{"Ledvora.ini"} << "Ledvora.ini"
                                << "Ledvora.ini";
    // Only where names have case can two spellings exist: the one asked for wins.
    QTest::newRow("two spellings") << QStringList{"Ledvora.ini", "LEDVORA.INI"} << "Ledvora.ini"
                                   << "Ledvora.ini";
    QTest::newRow("missing: made as written") << QStringList{} << "Ledvora.ini"
                                              << "Ledvora.ini";
    QTest::newRow("another name is not the file") << QStringList{"Ledvora.ini.bak"} << "Ledvora.ini"
                                                  << "Ledvora.ini";
}

// A copy of a Windows installation keeps the case its files had; each is found, and written in
// place rather than beside a second file of the name as the program spells it.
void TestProfileFile::fileFoundWhateverTheCaseOfItsName() {
    QFETCH(QStringList, present);
    QFETCH(QString, asked);
    QFETCH(QString, used);
    TestContext context;
    for (const QString& name : present)
        writeBytes(context.path(name), name == present.first() ? "[A]\r\nX=1\r\n" : "[A]\r\n");
    const bool found =
        !present.isEmpty() && present.first().compare(asked, Qt::CaseInsensitive) == 0;
    ProfileFile file(context.path(asked));
    QCOMPARE(file.foundPath(), context.path(used));

    QCOMPARE(file.readString("A", "X", Default), found ? "1" : Default);
    file.writeString("A", "Y", "2");
    QCOMPARE(readBytes(context.path(used)),
             QByteArray(found ? "[A]\r\nX=1\r\nY=2\r\n" : "[A]\r\nY=2\r\n"));
    QStringList expected = present;
    if (!expected.contains(used))
        expected << used;
    expected.sort();
    QCOMPARE(QDir(context.folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

void TestProfileFile::missingOrUnreadableFileReadsDefaults() {
    TestContext context;
    QVERIFY(QDir(context.folder()).mkdir("Folder.ini"));

    for (const QString& path : {context.path("Missing.ini"), context.path("Folder.ini"),
                                context.path("No Such Folder/Ledvora.ini")}) {
        ProfileFile file(path);
        QCOMPARE(file.readString("GENERAL", "ACCOUNT_TYPE", Default), Default);
        QCOMPARE(file.readBool("UBS", "INCLUDE_REMARK", true), true);
    }
}

void TestProfileFile::refusedWriteRaises_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folderInItsPlace");

    QTest::newRow("folder does not exist") << "No Such Folder/Ledvora.ini" << false;
    QTest::newRow("a folder in the file's place") << "Ledvora.ini" << true;
}

// The tests run as root, for whom read-only permissions refuse nothing; a missing folder and a
// folder in the file's place are refused for every user.
void TestProfileFile::refusedWriteRaises() {
    QFETCH(QString, name);
    QFETCH(bool, folderInItsPlace);
    TestContext context;
    const QString path = context.path(name);
    if (folderInItsPlace)
        QVERIFY(QDir(context.folder()).mkdir(name));
    ProfileFile file(path);

    try {
        file.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
        QFAIL("the write was not refused");
    } catch (const AppError& error) {
        QVERIFY(dynamic_cast<const SettingsWriteError*>(&error));
        QCOMPARE(error.message(), "Unable to write to " +
                                      QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    }
    QVERIFY_THROWS_EXCEPTION(SettingsWriteError, file.writeBool("UBS", "INCLUDE_REMARK", true));

    // Nothing created, nothing left behind.
    QCOMPARE(
        QDir(context.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        folderInItsPlace ? QStringList{name} : QStringList());
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "test_profile_file.moc"
