// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup_warm_up.hpp"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImageReader>
#include <QList>

#if defined(__linux__)
#include <dlfcn.h>
#endif

#include <utility>

#include "app/navigation_bar.hpp"

namespace kestra {

namespace {

#if defined(__linux__)
// fontconfig's FcInit(), when the Qt libraries already brought fontconfig into the process; the
// program itself does not link to it.
using FcInitFunction = int (*)();

FcInitFunction LoadedFcInit() {
    void* library = ::dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr) {
        return nullptr;
    }
    // The handle stays open: it only counts a reference to a library that stays loaded anyway.
    return reinterpret_cast<FcInitFunction>(::dlsym(library, "FcInit"));
}
#endif

// A one-pixel PNG. No format plugin reads PNG, so asking which format it is makes Qt load
// every image format plugin, as it does for the first picture the program reads.
constexpr unsigned char kOnePixelPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x1f, 0x15, 0xc4, 0x89, 0x00, 0x00, 0x00, 0x0b, 0x49, 0x44, 0x41, 0x54, 0x78,
    0x9c, 0x63, 0x60, 0x00, 0x02, 0x00, 0x00, 0x05, 0x00, 0x01, 0x7a, 0x5e, 0xab, 0x3f,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

void LoadImagePlugins() {
    QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char*>(kOnePixelPng), sizeof kOnePixelPng);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.read();
}

template <typename Work>
std::thread StartThread(Work work) {
    try {
        return std::thread(std::move(work));
    } catch (...) {
        // No thread to spare: the work is done where it is first needed, as it would be anyway.
        return {};
    }
}

}  // namespace

StartupWarmUp::StartupWarmUp() {
#if defined(__linux__)
    if (const FcInitFunction fcInit = LoadedFcInit()) {
        fonts_ = StartThread([fcInit] { fcInit(); });
    }
#endif
}

StartupWarmUp::~StartupWarmUp() {
    Wait();
}

void StartupWarmUp::ApplicationReady() {
    if (application_.joinable()) {
        return;
    }
    // The fonts of the first frame: text, bold headers, the document window's title. Read here,
    // where the application's fonts are set; the thread gets copies.
    QFont text = QApplication::font();
    QFont bold = text;
    bold.setBold(true);
    QList<QFont> fonts{text, bold, QApplication::font("QMdiSubWindowTitleBar")};
    application_ = StartThread([this, fonts = std::move(fonts)]() mutable {
        // fontconfig does not share a half-done load: Qt's font list waits for the first step.
        if (fonts_.joinable()) {
            fonts_.join();
        }
        QFontDatabase::families();
        // Qt keeps, for all threads, the fallback families of each font it has matched (a
        // search through every installed font). Matching the first frame's fonts here leaves the
        // main thread only its own font engines to make.
        fonts.append(NavigationBar::CaptionFont(fonts.front()));
        for (const QFont& font : fonts) {
            QFontMetrics(font).height();
        }
        LoadImagePlugins();
    });
}

void StartupWarmUp::Wait() {
    if (application_.joinable()) {
        application_.join();
    }
    if (fonts_.joinable()) {
        fonts_.join();
    }
}

}  // namespace kestra
