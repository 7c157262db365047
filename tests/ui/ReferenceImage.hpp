// Screenshots held against the reference pictures kept in tests/ui/references: a change of the
// look fails the test that shows it, names where the pictures differ and leaves a picture of the
// difference in build/artefacts/ui/<name>-diff.png.
//
// After a deliberate change of the look, write new references and commit them:
//
//     VELMORA_UPDATE_REFERENCES=1 build/bin/ui_tests
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/ui/Artefacts.hpp"

namespace velmora::test {

class ReferenceImage {
  public:
    // A channel may move this much (of 255) before its pixel counts as changed: room for the
    // rounding of anti-aliased edges, never for a change a person would see.
    static constexpr int channelTolerance = 8;
    // This many changed pixels pass (a text cursor is 1 × 20): a word changed is hundreds.
    static constexpr int changedPixelsTolerated = 24;

    // Compares `shot` with the reference called `name`; with VELMORA_UPDATE_REFERENCES=1 it
    // writes the reference instead.
    static void expectMatches(const QImage& shot, const QString& name) {
        const QImage actual = shot.convertToFormat(QImage::Format_RGB888);
        const QString path = referencePath(name);
        if (updating()) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            EXPECT_TRUE(actual.save(path, "PNG", kSmallestPng))
                << "cannot write " << path.toStdString();
            return;
        }
        const QImage expected(path);
        ASSERT_FALSE(expected.isNull())
            << "no reference " << path.toStdString() << " (" << kUpdateHint << ")";
        const QImage reference = expected.convertToFormat(QImage::Format_RGB888);
        if (reference.size() != actual.size()) {
            ADD_FAILURE() << name.toStdString() << " is " << sizeText(actual.size())
                          << ", its reference " << sizeText(reference.size()) << ". " << kUpdateHint
                          << " after a deliberate change of the look";
            return;
        }
        QImage difference = faded(reference);
        QRect changed;
        int count = 0;
        int largest = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const int delta = channelDelta(actual.pixel(x, y), reference.pixel(x, y));
                if (delta > channelTolerance) {
                    ++count;
                    largest = std::max(largest, delta);
                    changed |= QRect(x, y, 1, 1);
                    difference.setPixel(x, y, qRgb(255, 0, 0));
                }
            }
        }
        const QString differencePath = artefactPath(name + QStringLiteral("-diff.png"));
        if (count <= changedPixelsTolerated) {
            QFile::remove(differencePath);  // from an earlier failure
            return;
        }
        difference.save(differencePath);
        std::ostringstream where;
        where << count << " pixels differ from the reference (by up to " << largest
              << " of 255), within x " << changed.left() << ".." << changed.right() << ", y "
              << changed.top() << ".." << changed.bottom()
              << "; the difference in red: " << differencePath.toStdString() << ". " << kUpdateHint
              << " after a deliberate change of the look";
        ADD_FAILURE() << name.toStdString() << ": " << where.str();
    }

    // The most any channel of a pixel moves between two pictures of one size.
    static int largestChannelDelta(const QImage& a, const QImage& b) {
        int largest = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                largest = std::max(largest, channelDelta(a.pixel(x, y), b.pixel(x, y)));
            }
        }
        return largest;
    }

    // The largest difference of a channel between two pixels.
    static int channelDelta(QRgb a, QRgb b) {
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                         std::abs(qBlue(a) - qBlue(b))});
    }

  private:
    static constexpr const char* kUpdateHint = "VELMORA_UPDATE_REFERENCES=1 writes new references";
    static constexpr int kSmallestPng = 0;  // the quality Qt maps to the strongest compression

    static bool updating() {
        const char* flag = std::getenv("VELMORA_UPDATE_REFERENCES");
        return flag != nullptr && std::string(flag) == "1";
    }

    static QString referencePath(const QString& name) {
        return QStringLiteral(VELMORA_UI_REFERENCES "/") + name + QStringLiteral(".png");
    }

    static std::string sizeText(const QSize& size) {
        return std::to_string(size.width()) + " × " + std::to_string(size.height());
    }

    // The reference lightened, so the red of the changed pixels stands out over it.
    static QImage faded(const QImage& reference) {
        constexpr int kKeptPercent = 30;
        constexpr int kWhite = 255;
        QImage image = reference.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(image.pixel(x, y));
                const int light = kWhite - (kWhite - grey) * kKeptPercent / 100;
                image.setPixel(x, y, qRgb(light, light, light));
            }
        }
        return image;
    }
};

}  // namespace velmora::test
