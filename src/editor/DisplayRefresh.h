#pragma once
// The display refresh: the image into the controls, sending nothing and
// leaving the image as it is.

namespace patchsmith::editor {

class TMainWindow;

class DisplayRefresh {
public:
    explicit DisplayRefresh(TMainWindow& window);

    // The whole image, and the editing state reset.
    void ShowPerformance();
    // Layer CurrentLayer into the layer controls.
    void ShowLayer();

private:
    TMainWindow& w_;
};

} // namespace patchsmith::editor
