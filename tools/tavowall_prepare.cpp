// tavowall-prepare: prepares one picture as the program would and writes it as a bitmap file.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "imaging/bmp_writer.h"
#include "imaging/prepare.h"

namespace {

constexpr int kExitLoaded = 0;
constexpr int kExitLoadFailure = 1;
constexpr int kExitError = 2;
constexpr int kExitUsage = 64;

const char kUsage[] =
    "usage: tavowall-prepare --target WxH [--screen WxH] [--display-bpp N]\n"
    "                        [--shrink|--no-shrink] [--zoom|--no-zoom]\n"
    "                        [--proportional|--no-proportional]\n"
    "                        [--color-depth keep|24|none] [--status] INPUT OUTPUT\n"
    "\n"
    "Prepares INPUT (a Windows bitmap or, named *.jpg, a JPEG file) for a target\n"
    "area as the wallpaper command and the preview do, and writes it to OUTPUT.\n"
    "Defaults: --shrink --no-zoom --proportional --color-depth keep, the screen\n"
    "as large as the target, a display of 32 bits per pixel.\n"
    "--full-decode decodes a JPEG picture whole before resampling (the same result,\n"
    "more memory; for comparisons).\n"
    "Exit status: 0 written, 1 the picture could not be loaded, 2 other error, 64 usage.\n";

struct Arguments {
    int targetWidth = -1;
    int targetHeight = -1;
    int screenWidth = -1;
    int screenHeight = -1;
    int displayBits = 32;
    bool status = false;
    bool fullDecode = false;
    tavo::PrepareOptions options;
    std::string input;
    std::string output;
};

class UsageError {
public:
    explicit UsageError(std::string why) : why_(std::move(why)) {}
    const std::string& Why() const { return why_; }

private:
    std::string why_;
};

bool ParseNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::atoi(text.c_str());
    return value > 0;
}

void ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos || !ParseNumber(text.substr(0, x), width) ||
        !ParseNumber(text.substr(x + 1), height))
        throw UsageError("bad size '" + text + "' (expected WxH with positive numbers)");
}

int ParseColourDepth(const std::string& text) {
    if (text == "keep") return 0;
    if (text == "24") return 1;
    if (text == "none") return -1;
    throw UsageError("bad colour depth '" + text + "' (expected keep, 24 or none)");
}

int ParseDisplayBits(const std::string& text) {
    int bits = 0;
    if (ParseNumber(text, bits) &&
        (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32))
        return bits;
    throw UsageError("bad display depth '" + text + "' (expected 1, 4, 8, 16, 24 or 32)");
}

bool ParseSwitch(const std::string& arg, Arguments& a) {
    struct Switch {
        const char* name;
        bool* flag;
        bool value;
    };
    const Switch switches[] = {
        {"--shrink", &a.options.shrink, true},
        {"--no-shrink", &a.options.shrink, false},
        {"--zoom", &a.options.zoom, true},
        {"--no-zoom", &a.options.zoom, false},
        {"--proportional", &a.options.proportional, true},
        {"--no-proportional", &a.options.proportional, false},
        {"--status", &a.status, true},
        {"--full-decode", &a.fullDecode, true},
    };
    for (const Switch& s : switches) {
        if (arg == s.name) {
            *s.flag = s.value;
            return true;
        }
    }
    return false;
}

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments a;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (ParseSwitch(arg, a)) continue;
        if (arg == "--target") {
            ParseSize(value(), a.targetWidth, a.targetHeight);
        } else if (arg == "--screen") {
            ParseSize(value(), a.screenWidth, a.screenHeight);
        } else if (arg == "--display-bpp") {
            a.displayBits = ParseDisplayBits(value());
        } else if (arg == "--color-depth") {
            a.options.colourDepth = ParseColourDepth(value());
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (a.targetWidth < 0) throw UsageError("--target is required");
    if (positional.size() != 2) throw UsageError("expected INPUT and OUTPUT");
    if (a.screenWidth < 0) {
        a.screenWidth = a.targetWidth;
        a.screenHeight = a.targetHeight;
    }
    a.input = positional[0];
    a.output = positional[1];
    return a;
}

void PrintStatus(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

int Run(const Arguments& a) {
    tavo::PrepareContext context;
    context.options = a.options;
    context.displayBits = a.displayBits;
    context.screenWidth = a.screenWidth;
    if (a.status) context.status = PrintStatus;
    // The load-failure box becomes a line on standard error.
    context.loadFailed = [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); };
    context.fullDecode = a.fullDecode;
    std::unique_ptr<tavo::Bitmap> bitmap;
    if (!tavo::PrepareWallpaperBitmap(a.targetWidth, a.targetHeight, bitmap, a.input, context))
        return kExitLoadFailure;
    tavo::SaveBitmapToFile(*bitmap, a.output);
    return kExitLoaded;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
        return Run(arguments);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "tavowall-prepare: %s\n\n%s", e.Why().c_str(), kUsage);
        return kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return kExitError;
    }
}
