#pragma once
// Screen facts the designer needs: pixels per inch and the screen size.
class TScreen {
public:
    static int PixelsPerInch();
    static int Width();
    static int Height();
    // Fixes the values (tests and the headless batch tool use the classic 96 ppi).
    static void Override(int pixelsPerInch, int width, int height);
    static void ClearOverride();
};
