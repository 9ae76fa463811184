// Runs a fuzz target over files and folders of inputs, so the inputs a fuzzer
// found stay checked by every ordinary build and test run.
#include <QDirIterator>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size);
// A target that keeps something over all its inputs (an application object)
// defines this to let it go once they are done.
extern "C" void hibiFuzzFinish() __attribute__((weak));

int main(int argc, char **argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        QStringList files;
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else {
            files << arg;
        }
        files.sort();
        for (const QString &name : files) {
            QFile f(name);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++inputs;
        }
    }
    if (hibiFuzzFinish)
        hibiFuzzFinish();
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
