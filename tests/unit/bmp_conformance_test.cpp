// The bitmap reader against the BMP Suite files: golden digests and the outcome settled for each file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/files.h"
#include "imaging/bmp_reader.h"
#include "support/digest.h"
#include "support/needs.h"

namespace tavo {
namespace {

const std::string kSuite = TAVO_TEST_DATA "/bmpsuite";
constexpr int kTrueColour = 32;  // run-length files keep their exact colours on such a display

bool SuitePresent() {
    return std::ifstream(kSuite + "/expected-rgb24.tsv").good();
}

#define REQUIRE_SUITE() TAVO_REQUIRE(SuitePresent(), "the BMP Suite files at " << kSuite)

std::vector<uint8_t> ReadSuiteFile(const std::string& name) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(kSuite + "/" + name, bytes)) << name;
    return bytes;
}

Bitmap LoadSuiteFile(const std::string& name, int displayBits = kTrueColour) {
    const std::vector<uint8_t> bytes = ReadSuiteFile(name);
    return LoadBmp(bytes.data(), bytes.size(), displayBits);
}

struct Golden {
    std::string file;
    int width = 0;
    int height = 0;
    std::string crc;  // of the rows, channels widened by rounding
    std::string sha;
};

std::vector<Golden> ReadGoldens() {
    std::vector<Golden> goldens;
    std::ifstream in(kSuite + "/expected-rgb24.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Golden g;
        fields >> g.file >> g.width >> g.height >> g.crc >> g.sha;
        goldens.push_back(g);
    }
    return goldens;
}

void ExpectPicture(const Bitmap& bitmap, const Golden& g, const std::string& context) {
    EXPECT_EQ(bitmap.Width(), g.width) << context;
    EXPECT_EQ(bitmap.Height(), g.height) << context;
    const std::vector<uint8_t> rgb = testing::RgbRows(bitmap);
    EXPECT_EQ(testing::Crc32Hex(rgb), g.crc) << context;
    EXPECT_EQ(testing::Sha256Hex(rgb), g.sha) << context;
}

TEST(BmpConformance, EveryGoodFileGivesItsGoldenPicture) {
    REQUIRE_SUITE();
    const std::vector<Golden> goldens = ReadGoldens();
    ASSERT_EQ(goldens.size(), 27u);
    for (const Golden& g : goldens) {
        try {
            ExpectPicture(LoadSuiteFile(g.file), g, g.file);
        } catch (const std::exception& e) {
            ADD_FAILURE() << g.file << ": " << e.what();
        }
    }
}

TEST(BmpConformance, RunLengthFilesKeepTheirColoursOnPaletteAndTrueColourDisplays) {
    REQUIRE_SUITE();
    for (const Golden& g : ReadGoldens()) {
        if (g.file.find("rle") == std::string::npos) continue;
        for (int bits : {8, 24}) {
            const Bitmap bitmap = LoadSuiteFile(g.file, bits);
            EXPECT_EQ(bitmap.Format(), PixelFormat::Device);
            EXPECT_EQ(bitmap.BitCount(), bits);
            ExpectPicture(bitmap, g, g.file + " at " + std::to_string(bits) + " bits");
        }
    }
}

TEST(BmpConformance, FilesThatNeedTheDataOffsetGiveTheBasePicture) {
    REQUIRE_SUITE();
    const std::vector<uint8_t> base = testing::RgbRows(LoadSuiteFile("g/pal8.bmp"));
    ASSERT_FALSE(base.empty());
    for (const char* name : {"q/pal8offs.bmp", "q/pal8os2sp.bmp", "q/pal8oversizepal.bmp"})
        EXPECT_EQ(testing::Sha256Hex(testing::RgbRows(LoadSuiteFile(name))), testing::Sha256Hex(base))
            << name;
}

// What each questionable, bad or foreign file gives: a picture (by the CRC-32 of
// its rows) or the fault that refuses it.
struct Outcome {
    const char* file;
    const char* crc;  // nullptr when the file is refused
    BmpFault fault;
};

constexpr Outcome Loads(const char* file, const char* crc) {
    return {file, crc, BmpFault::Truncated};
}
constexpr Outcome Refused(const char* file, BmpFault fault) {
    return {file, nullptr, fault};
}

const Outcome kOutcomes[] = {
    Refused("q/pal1huffmsb.bmp", BmpFault::BadCompression),
    Loads("q/pal1p1.bmp", "2b542560"),
    Refused("q/pal2.bmp", BmpFault::BadBitCount),
    Refused("q/pal2color.bmp", BmpFault::BadBitCount),
    Loads("q/pal4rlecut.bmp", "b5c8b258"),
    Loads("q/pal4rletrns.bmp", "079d8a45"),
    Loads("q/pal8offs.bmp", "38454155"),
    Loads("q/pal8os2-hs.bmp", "38454155"),
    Loads("q/pal8os2-sz.bmp", "38454155"),
    Loads("q/pal8os2sp.bmp", "38454155"),
    Loads("q/pal8os2v2-16.bmp", "38454155"),
    Loads("q/pal8os2v2-40sz.bmp", "38454155"),
    Loads("q/pal8os2v2-sz.bmp", "38454155"),
    Loads("q/pal8os2v2.bmp", "38454155"),
    Loads("q/pal8oversizepal.bmp", "38454155"),
    Loads("q/pal8rlecut.bmp", "170cabc4"),
    Loads("q/pal8rletrns.bmp", "17568861"),
    Loads("q/rgb16-231.bmp", "3e2d81cf"),
    Loads("q/rgb16-3103.bmp", "8b8e086c"),
    Loads("q/rgb16faketrns.bmp", "46dd68ad"),
    Refused("q/rgb24jpeg.bmp", BmpFault::BadBitCount),
    Loads("q/rgb24largepal.bmp", "025bba0a"),
    Loads("q/rgb24lprof.bmp", "025bba0a"),
    Refused("q/rgb24png.bmp", BmpFault::BadBitCount),
    Refused("q/rgb24rle24.bmp", BmpFault::BadCompression),
    Loads("q/rgb32-111110.bmp", "4ff673f7"),
    Loads("q/rgb32-7187.bmp", "f4816dd6"),
    Loads("q/rgb32-xbgr.bmp", "025bba0a"),
    Loads("q/rgb32fakealpha.bmp", "025bba0a"),
    Loads("q/rgb32h52.bmp", "025bba0a"),
    Loads("q/rgba16-1924.bmp", "18e42b45"),
    Loads("q/rgba16-4444.bmp", "b7851f9f"),
    Loads("q/rgba16-5551.bmp", "46dd68ad"),
    Loads("q/rgba32-1.bmp", "7b67823d"),
    Loads("q/rgba32-1010102.bmp", "7b67823d"),
    Loads("q/rgba32-2.bmp", "7b67823d"),
    Loads("q/rgba32-61754.bmp", "d06d44ef"),
    Loads("q/rgba32-81284.bmp", "7b67823d"),
    Refused("q/rgba32abf.bmp", BmpFault::BadCompression),
    Loads("q/rgba32h56.bmp", "7b67823d"),
    Refused("q/rgba64.bmp", BmpFault::BadBitCount),
    Refused("b/badbitcount.bmp", BmpFault::BadBitCount),
    Loads("b/badbitssize.bmp", "3ce81fae"),
    Loads("b/baddens1.bmp", "3ce81fae"),
    Loads("b/baddens2.bmp", "3ce81fae"),
    Loads("b/badfilesize.bmp", "3ce81fae"),
    Loads("b/badheadersize.bmp", "3ce81fae"),  // any header of 40 bytes or more is read whole
    Refused("b/badpalettesize.bmp", BmpFault::BadColourTable),
    Refused("b/badplanes.bmp", BmpFault::BadPlanes),
    Loads("b/badrle.bmp", "de5a8e63"),  // runs clipped at the row end, deltas past the last row end it
    Loads("b/badrle4.bmp", "3bd00f11"),
    Loads("b/badrle4bis.bmp", "63cd5274"),
    Loads("b/badrle4ter.bmp", "63abc9e8"),
    Loads("b/badrlebis.bmp", "f7723e73"),
    Loads("b/badrleter.bmp", "3965b5a2"),
    Refused("b/badwidth.bmp", BmpFault::BadDimensions),
    Loads("b/pal8badindex.bmp", "04500d02"),
    Refused("b/reallybig.bmp", BmpFault::TooLarge),
    Loads("b/rgb16-880.bmp", "f1c20c73"),  // the zero blue mask reads as blue 0
    Refused("b/rletopdown.bmp", BmpFault::BadRunLength),
    Loads("b/shortfile.bmp", "5229d55a"),
    Refused("x/ba-bm.bmp", BmpFault::BadSignature),
};

TEST(BmpConformance, QuestionableBadAndForeignFilesHaveTheirSettledOutcome) {
    REQUIRE_SUITE();
    for (const Outcome& o : kOutcomes) {
        try {
            const Bitmap bitmap = LoadSuiteFile(o.file);
            if (!o.crc) {
                ADD_FAILURE() << o.file << " loads; expected: " << BmpFaultName(o.fault);
                continue;
            }
            EXPECT_EQ(testing::Crc32Hex(testing::RgbRows(bitmap)), o.crc) << o.file;
        } catch (const BmpError& e) {
            if (o.crc)
                ADD_FAILURE() << o.file << " refused: " << e.what();
            else
                EXPECT_EQ(e.Fault(), o.fault) << o.file << ": " << e.what();
        }
    }
}

TEST(BmpConformance, ShortFileLoadsWithTheMissingRowsZero) {
    REQUIRE_SUITE();
    const Bitmap bitmap = LoadSuiteFile("b/shortfile.bmp");
    ASSERT_EQ(bitmap.Height(), 64);
    // 211 pixel bytes of 16-byte rows: 13 whole rows, from the bottom.
    for (int y = 0; y < 64 - 14; ++y)
        for (size_t i = 0; i < bitmap.Stride(); ++i)
            ASSERT_EQ(bitmap.Row(y)[i], 0) << "row " << y;
}

}  // namespace
}  // namespace tavo
