// SPDX-License-Identifier: MIT
#include "TestOverlay.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    failures += runOverlayLogicTests(argc, argv);
    failures += runOverlayImageTests(argc, argv);
    failures += runOverlayViewTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
