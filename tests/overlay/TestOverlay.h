// SPDX-License-Identifier: MIT
#pragma once

// Each part of the overlay test runs as its own QtTest class in one executable.
int runOverlayLogicTests(int argc, char **argv);
int runOverlayImageTests(int argc, char **argv);
int runOverlayViewTests(int argc, char **argv);
