#include "midi/EditSession.h"

#include <algorithm>

namespace patchsmith {

namespace {

// The bulk kind that carries a common block.
int blockKind(Block block) {
    switch (block) {
    case Block::Effect: return TransferKind::CurrentEffect;
    case Block::Controller: return TransferKind::CurrentController;
    default: return TransferKind::CurrentCommon;
    }
}

// A data byte on the wire never has bit 7 set. A damaged image (a foreign
// file, say) may hold such a byte beside the one edited; it goes out as the
// largest value instead of breaking the message.
Byte wire(Byte b) { return b > 0x7F ? Byte{0x7F} : b; }

} // namespace

EditSession::EditSession(Model& model, MidiLink& link) : model_(model), link_(link) {}

int EditSession::shownValue(const Parameter& p) const {
    if (p.rule == ParamRule::MutedVolume) {
        const LayerMute& m = model_.muteOf(model_.CurrentLayer);
        if (m.muted) return m.savedVolume;
    }
    return value(p);
}

void EditSession::resetEditingState() {
    model_.PerfModified = false;
    model_.LayerMuteTable = {};
    model_.CurrentLayer = 1;
    model_.AffectAllLayers = false;
}

void EditSession::writeTargets(const Parameter& p, int value) {
    if (p.rule == ParamRule::MutedVolume) {
        // A muted layer keeps 0; its new volume is the one it gets back.
        auto write = [&](int layer) {
            LayerMute& m = model_.muteOf(layer);
            if (m.muted)
                m.savedVolume = static_cast<Byte>(std::clamp(value, 0, 127));
            else
                writeValue(p, model_.image, value, layer);
        };
        if (model_.AffectAllLayers)
            for (int layer = 1; layer <= 4; ++layer) write(layer);
        else
            write(model_.CurrentLayer);
        return;
    }
    if (!p.layer()) {
        writeValue(p, model_.image, value);
    } else if (model_.AffectAllLayers) {
        for (int layer = 1; layer <= 4; ++layer) writeValue(p, model_.image, value, layer);
    } else {
        writeValue(p, model_.image, value, model_.CurrentLayer);
    }
}

void EditSession::set(const Parameter& p, int value) {
    if (quiet()) return;
    if (p.encoding == ParamEncoding::Pair && (value < 0 || value >= p.entries)) return;
    if (p.rule == ParamRule::MutedVolume) {
        setLayerVolume(value);
        return;
    }
    writeTargets(p, value);
    if (p.rule == ParamRule::VariationDefaults) writeVariationDefaults(model_.image, value);
    send(p);
}

void EditSession::write(const Parameter& p, int value) {
    if (quiet()) return;
    writeTargets(p, value);
}

// With all layers edited each layer is sent its own volume byte, so muted
// layers stay silent and the others get the new volume.
void EditSession::setLayerVolume(int value) {
    const Parameter& p = params::LayerVolume;
    writeTargets(p, value);
    if (!model_.AffectAllLayers) {
        send(p);
        return;
    }
    for (int layer = 1; layer <= 4; ++layer) {
        const Address base = baseAddress(layerBlock(layer));
        link_.SendParamChange(base.high, base.mid, addressLow(p.area, p.offset),
                              model_.image.layerData(layer, p.offset));
    }
}

void EditSession::send(const Parameter& p) {
    const PerformanceImage& image = model_.image;
    if (p.layer()) {
        if (p.send == ParamSend::OneByte) {
            link_.SendLayerParam(baseAddress(layerBlock(1)).high, addressLow(p.area, p.sendOffset),
                                 wire(image.layerData(model_.CurrentLayer, p.sendOffset)));
        } else {
            link_.SendLayerDumps(model_.AffectAllLayers);
        }
        return;
    }
    const Block block = blockOf(p.area);
    const Address base = baseAddress(block);
    switch (p.send) {
    case ParamSend::OneByte:
        link_.SendParamChange(base.high, base.mid, addressLow(p.area, p.sendOffset),
                              wire(image.data(block, p.sendOffset)));
        break;
    case ParamSend::TwoByte:
        link_.SendParamChangeWide(base.high, base.mid, addressLow(p.area, p.sendOffset),
                                  wire(image.data(block, p.sendOffset)), wire(image.data(block, p.sendOffset + 1)));
        break;
    case ParamSend::BlockDump:
    case ParamSend::LayerDump: link_.SendBulkBlock(blockKind(block)); break;
    }
}

void EditSession::setName(std::u16string_view text) {
    if (quiet()) return;
    writeName(model_.image, text);
    send(params::PerformanceName);
}

void EditSession::setVelocityDefaults() {
    if (quiet()) return;
    for (const Parameter* p : {&params::VelocityLimitLow, &params::VelocityLimitHigh, &params::VelocitySenseDepth,
                               &params::VelocitySenseOffset})
        writeTargets(*p, defaultValue(*p));
    link_.SendLayerDumps(model_.AffectAllLayers);
}

void EditSession::setMuted(int layer, bool muted) {
    if (quiet()) return;
    layer = clampLayer(layer);
    const Parameter& volume = params::LayerVolume;
    LayerMute& m = model_.muteOf(layer);
    m.muted = muted;
    if (muted) {
        m.savedVolume = static_cast<Byte>(std::clamp(storedValue(volume, model_.image, layer), 0, 127));
        writeValue(volume, model_.image, 0, layer);
    } else {
        writeValue(volume, model_.image, m.savedVolume, layer);
    }
    // To this layer alone, whatever "edit all layers" says.
    const Address base = baseAddress(layerBlock(layer));
    link_.SendParamChange(base.high, base.mid, addressLow(volume.area, volume.offset),
                          model_.image.layerData(layer, volume.offset));
}

void EditSession::copyLayer() {
    const auto layer = model_.image.layerMessage(model_.CurrentLayer);
    std::copy(layer.begin(), layer.end(), model_.LayerClipboard.begin());
}

void EditSession::pasteLayer() {
    if (quiet()) return;
    const auto layer = model_.image.layerMessage(model_.CurrentLayer);
    std::copy(model_.LayerClipboard.begin(), model_.LayerClipboard.end(), layer.begin());
    // The copied header names the layer it came from: the block gets its own
    // header back, also when nothing can be sent (the sender would rewrite
    // it, but only while the output is open).
    writeCurrentHeader(layer, layerBlock(model_.CurrentLayer));
    link_.SendLayerDumps(false);
}

EditSession::Quiet::Quiet(EditSession& session) : session_(session) {
    ++session_.quietDepth_;
    session_.model_.SendEnabled = false;
}

EditSession::Quiet::~Quiet() {
    if (--session_.quietDepth_ == 0) session_.model_.SendEnabled = true;
}

} // namespace patchsmith
