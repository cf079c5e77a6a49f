// The built language modules and LoadTsLang.
#include "testenv.h"

#include "tsjpeg.h"
#include "tslang.h"
#include "tswin.h"
#include "tswinqt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

const LANGID kLanguages[] = {0x0409, 0x0407, 0x040C, 0x0411};

std::u16string Text(HINSTANCE module, UINT id)
{
    std::vector<WCHAR> buffer(16384);
    const int n = LoadStringW(module, id, buffer.data(), int(buffer.size()));
    return std::u16string(buffer.data(), size_t(std::max(n, 0)));
}

QString QText(HINSTANCE module, UINT id)
{
    const std::u16string t = Text(module, id);
    return QString::fromUtf16(t.data(), int(t.size()));
}

HINSTANCE Module(LANGID id)
{
    return LoadTsLang(id, 0);
}

std::vector<UINT> StringIds()
{
    std::vector<UINT> ids = {33, 129, 61407, 328, 327, 170, 61406, 713, 755, 1481,
                             32003, 32004, 32005, 32006, 32007, 61409};
    for (UINT id = 723; id <= 734; ++id)
        ids.push_back(id);
    for (UINT id = 9033; id <= 9039; ++id)
        ids.push_back(id);
    return ids;
}

QString LangDir()
{
    return QString::fromLocal8Bit(qgetenv("TS_LANG_DIR"));
}

} // namespace

TEST(LanguageModules, EveryModuleHoldsEveryIdentifier)
{
    for (LANGID lang : kLanguages) {
        const QString file = QDir(LangDir()).filePath(QStringLiteral("tslang_%1.res").arg(
            QString::number(lang, 16).rightJustified(4, QLatin1Char('0')).toUpper()));
        const std::u16string path = file.toStdU16String();
        HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << "cannot open " << file.toStdString();
        for (UINT id : StringIds())
            EXPECT_FALSE(Text(module, id).empty()) << "language " << std::hex << lang << std::dec
                                                   << ": text " << id << " missing";
        for (UINT id : {10151u, 10326u, 10379u, 10380u}) {
            HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
            EXPECT_NE(bitmap, nullptr) << "language " << std::hex << lang << std::dec << ": bitmap " << id
                                       << " missing";
            DeleteObject(bitmap);
        }
        HBITMAP jpeg = LoadJpegImage(module, 10163, 0, 0);
        EXPECT_NE(jpeg, nullptr) << "language " << std::hex << lang << ": JPEG 10163 missing";
        DeleteObject(jpeg);
        FreeLibrary(module);
    }
}

TEST(LanguageModules, MonthAndWeekdayNames)
{
    struct Row { LANGID lang; const char *months; const char *days; };
    const Row rows[] = {
        {0x0409, "January February March April May June July August September October November December",
         "Sunday Monday Tuesday Wednesday Thursday Friday Saturday"},
        {0x0407, "Januar Februar März April Mai Juni Juli August September Oktober November Dezember",
         "Sonntag Montag Dienstag Mittwoch Donnerstag Freitag Samstag"},
        {0x040C, "janvier février mars avril mai juin juillet août septembre octobre novembre décembre",
         "dimanche lundi mardi mercredi jeudi vendredi samedi"},
        {0x0411, "1月 2月 3月 4月 5月 6月 7月 8月 9月 10月 11月 12月",
         "日曜日 月曜日 火曜日 水曜日 木曜日 金曜日 土曜日"},
    };
    for (const Row &row : rows) {
        HINSTANCE module = Module(row.lang);
        ASSERT_NE(module, nullptr);
        const QStringList months = QString::fromUtf8(row.months).split(QLatin1Char(' '));
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(QText(module, UINT(723 + i)), months[i]) << std::hex << row.lang << std::dec << " month " << i;
        const QStringList days = QString::fromUtf8(row.days).split(QLatin1Char(' '));
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(QText(module, UINT(9033 + i)), days[i]) << std::hex << row.lang << std::dec << " day " << i;
    }
}

TEST(LanguageModules, ButtonLabelsAreTranslated)
{
    // Cancel, Back, Next, Finish, OK.
    const UINT ids[] = {61407, 328, 327, 170, 61406};
    struct Row { LANGID lang; const char *labels[5]; };
    const Row rows[] = {
        {0x0409, {"Cancel", "< &Back", "&Next >", "Finish", "OK"}},
        {0x0407, {"Abbrechen", "< &Zurück", "&Weiter >", "Fertig stellen", "OK"}},
        {0x040C, {"Annuler", "< &Précédent", "&Suivant >", "Terminer", "OK"}},
        {0x0411, {"キャンセル", "< 戻る(&B)", "次へ(&N) >", "完了", "OK"}},
    };
    for (const Row &row : rows)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(QText(Module(row.lang), ids[i]), QString::fromUtf8(row.labels[i]))
                << std::hex << row.lang << std::dec << " button " << ids[i];
}

TEST(LanguageModules, TextsAreNotEnglishCopies)
{
    HINSTANCE english = Module(0x0409);
    for (LANGID lang : {LANGID(0x0407), LANGID(0x040C), LANGID(0x0411)})
        for (UINT id : StringIds()) {
            if (id == 129 || id == 61406 || id == 755 || id == 729 || id == 730 || id == 731
                || (lang == 0x0407 && (id == 726 || id == 730 || id == 731 || id == 733 || id == 734)))
                continue; // product name, "OK", a path, and month names both languages write alike
            EXPECT_NE(Text(Module(lang), id), Text(english, id)) << std::hex << lang << std::dec << " id " << id;
        }
}

TEST(LanguageModules, StripsHaveTheirCells)
{
    HINSTANCE module = Module(0x0409);
    struct Row { UINT picture, mask; int cells; std::vector<int> drawn; };
    const Row rows[] = {{10151, 10326, 2, {0, 1}}, {10379, 10380, 12, {2, 3, 4, 7, 10, 11}}};
    for (const Row &row : rows) {
        HANDLE p = LoadImageW(module, MAKEINTRESOURCEW(row.picture), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
        HANDLE m = LoadImageW(module, MAKEINTRESOURCEW(row.mask), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
        const QImage picture = QtWin::imageFromHBITMAP(static_cast<HBITMAP>(p));
        const QImage mask = QtWin::imageFromHBITMAP(static_cast<HBITMAP>(m));
        DeleteObject(p);
        DeleteObject(m);
        ASSERT_EQ(picture.size(), QSize(16 * row.cells, 16)) << row.picture;
        ASSERT_EQ(mask.size(), picture.size()) << row.mask;
        for (int cell = 0; cell < row.cells; ++cell) {
            int opaque = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const QRgb c = mask.pixel(cell * 16 + x, y);
                    EXPECT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)) << "mask not grey";
                    opaque += qGray(c) > 127;
                }
            const bool drawn = std::find(row.drawn.begin(), row.drawn.end(), cell) != row.drawn.end();
            if (drawn) {
                EXPECT_GT(opaque, 40) << "bitmap " << row.picture << " cell " << cell << " is empty";
            } else {
                EXPECT_EQ(opaque, 0) << "bitmap " << row.picture << " cell " << cell << " should be empty";
            }
        }
    }
}

TEST(LoadJpegImage, PanelBackgroundAndMisses)
{
    HINSTANCE module = Module(0x0411);
    HBITMAP natural = LoadJpegImage(module, 10163, 0, 0);
    ASSERT_NE(natural, nullptr);
    const QImage image = QtWin::imageFromHBITMAP(natural);
    EXPECT_GE(image.width(), 100);
    EXPECT_GE(image.height(), 100);
    // A soft picture: neighbouring rows differ only a little.
    EXPECT_LT(std::abs(qGray(image.pixel(50, 50)) - qGray(image.pixel(50, 51))), 8);
    EXPECT_TRUE(DeleteObject(natural));

    HBITMAP scaled = LoadJpegImage(module, 10163, 20, 30);
    EXPECT_EQ(QtWin::imageFromHBITMAP(scaled).size(), QSize(20, 30));
    DeleteObject(scaled);

    EXPECT_EQ(LoadJpegImage(module, 10151, 0, 0), nullptr) << "a bitmap is not a JPEG resource";
    EXPECT_EQ(LoadJpegImage(module, 1, 0, 0), nullptr);
    EXPECT_EQ(LoadJpegImage(nullptr, 10163, 0, 0), nullptr);
}

TEST(LoadTsLang, LanguageFallbacks)
{
    struct Row { LANGID asked; LANGID served; };
    const Row rows[] = {
        {0x0409, 0x0409}, {0x0407, 0x0407}, {0x040C, 0x040C}, {0x0411, 0x0411},
        {0x0C07, 0x0407},  // Austrian German: same primary language
        {0x080C, 0x040C},  // Belgian French
        {0x0809, 0x0409},  // British English
        {0x0410, 0x0409},  // Italian: English
        {0x0000, 0x0409},  // neutral: English
    };
    for (const Row &row : rows) {
        HINSTANCE module = LoadTsLang(row.asked, 0);
        ASSERT_NE(module, nullptr) << std::hex << row.asked;
        EXPECT_EQ(module, LoadTsLang(row.served, 0)) << std::hex << row.asked << " should be served by " << row.served;
    }
}

TEST(LoadTsLang, MissingFolderOrEmptyFolderGivesNull)
{
    QTemporaryDir empty;
    {
        tstest::ScopedEnv env("TS_LANG_DIR", "/nonexistent/lang");
        EXPECT_EQ(LoadTsLang(0x0409, 0), nullptr);
    }
    {
        tstest::ScopedEnv env("TS_LANG_DIR", empty.path().toLocal8Bit().constData());
        EXPECT_EQ(LoadTsLang(0x0407, 0), nullptr);
        EXPECT_EQ(Text(LoadTsLang(0x0407, 0), 723), u"") << "every text reads empty";
    }
}

TEST(LoadTsLang, DamagedExactModuleFallsBackToEnglish)
{
    QTemporaryDir dir;
    const QString lang = LangDir();
    ASSERT_TRUE(QFile::copy(QDir(lang).filePath("tslang_0409.res"), dir.filePath("tslang_0409.res")));
    QFile broken(dir.filePath("tslang_0407.res"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(64, '\xEE'));
    broken.close();
    tstest::ScopedEnv env("TS_LANG_DIR", dir.path().toLocal8Bit().constData());
    HINSTANCE module = LoadTsLang(0x0407, 0);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Text(module, 723), u"January");
}

TEST(LoadTsLang, DefaultFolderWithoutEnvironment)
{
    tstest::ScopedEnv env("TS_LANG_DIR", nullptr);
    // Without the variable: share/tessaro/lang beside the library's folder, as in an install.
    EXPECT_EQ(QText(LoadTsLang(0x0407, 0), 61407), QStringLiteral("Abbrechen"));
}
