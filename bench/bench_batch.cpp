// Times what a user waits for in the batch and manage windows: listing a folder of a few
// thousand pictures, opening the manager over a few thousand waiting posts, and previewing
// a 40-megapixel JPEG. Every file it needs is made in a temporary folder at run time.
#include "TestHome.h"
#include "components/ComponentError.h"
#include "components/FolderListing.h"
#include "creation/FakeCreator.h"
#include "creation/frmBatch.h"
#include "creation/modBatch.h"
#include "manage/frmPostManager.h"
#include "widgets/FormFunctions.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTextStream>

namespace {

constexpr int kFiles = 3000;

void Fill(const QString& folder, const QString& suffix, int count) {
    QDir().mkpath(folder);
    const QByteArray bytes(20000, 'x');
    for (int i = 0; i < count; ++i) {
        QFile file(folder +
                   QStringLiteral("/2011-04-30 17-05-09 %1").arg(i, 4, 10, QLatin1Char('0')) +
                   suffix);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
}

template <typename Work> double Milliseconds(Work work, int runs = 5) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = qMin(best, clock.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestHome home;
    QApplication app(argc, argv);
    QTextStream out(stdout);

    const QString pictures = home.Path() + QStringLiteral("/pictures");
    Fill(pictures, QStringLiteral(".jpg"), kFiles);
    const double listing = Milliseconds([&] {
        QStringList names = ListPictureFiles(pictures);
        SortFileNames(names);
    });
    FakeCreator creator;
    frmBatch batch(creator);
    const double batchList = Milliseconds([&] { batch.SetCurrentPath(pictures); });

    const QString data = home.DataFolder();
    Fill(data, QStringLiteral(".Picture"), kFiles);
    Fill(data, QStringLiteral(".Info"), kFiles);
    const double manager = Milliseconds([] { frmPostManager window; });

    QImage photo(7746, 5164, QImage::Format_RGB32); // 40 megapixels
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    }
    const QString jpeg = home.Path() + QStringLiteral("/big.jpg");
    photo.save(jpeg, "JPEG", 85);
    photo = QImage();
    // A decode that fails (Qt refuses images over its allocation limit) reports -1.
    auto decode = [&](const QSize& size, int runs) {
        try {
            return Milliseconds([&] { FormFunctions::LoadPictureFile(jpeg, size); }, runs);
        } catch (const ComponentError&) {
            return -1.0;
        }
    };
    const double preview = decode(QSize(369, 216), 3);
    const double fullDecode = decode(QSize(), 1);

    out << "what (" << kFiles << " files)                      best of runs, ms\n";
    out << "list picture files of a folder (core)        " << listing << "\n";
    out << "batch window lists the folder                " << batchList << "\n";
    out << "manager opens over waiting posts             " << manager << "\n";
    out << "preview of a 40 MP JPEG, decoded at 369x216  " << preview << "\n";
    out << "same JPEG decoded at full size (-1: refused) " << fullDecode << "\n";
    return 0;
}
