// libFuzzer target for the metafile reader: recognition and rendering of arbitrary bytes.
#include "import/metafile/MetafileReader.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

// Fontconfig keeps its caches for the life of the process; that is not a leak of ours.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Text needs the GUI application and its fonts; the offscreen platform needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_LOGGING_RULES", "*.debug=false;qt.*=false", 0);
    static int argc = 1;
    static char name[] = "metafile_fuzzer";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    morvane::metafile::detect(bytes.left(64));
    morvane::metafile::naturalSize(bytes);
    // A small output keeps every run quick: filling a shape costs the scanlines it crosses, and
    // the players' own paths and bounds do not depend on the output size.
    const auto result = morvane::metafile::render(bytes, QSize(40, 40));
    if (result.image.isNull() == result.error.isEmpty())
        std::abort(); // an image and an error together, or neither: the contract is broken
    return 0;
}
