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

// The pause between bulk blocks of one performance, as when a file is opened.
constexpr int kBlockPauseMs = 10;

// Takes a change made outside the history into a step's starting state.
void carryOver(EditState& start, const EditState& was, const EditState& now) {
    for (int b = 0; b < kBlockCount; ++b) {
        const Block block = static_cast<Block>(b);
        const auto from = was.image.message(block);
        const auto to = now.image.message(block);
        const auto into = start.image.message(block);
        for (std::size_t k = 0; k < into.size(); ++k)
            if (from[k] != to[k]) into[k] = to[k];
    }
    for (std::size_t k = 0; k < start.mutes.size(); ++k)
        if (!(was.mutes[k] == now.mutes[k])) start.mutes[k] = now.mutes[k];
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
    const Step step(*this);
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
    outsideStep([&] { writeTargets(p, value); });
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
    dispatch(SendAction{SendAction::Kind::EachLayerVolume, &p, model_.CurrentLayer, true});
}

void EditSession::send(const Parameter& p) { dispatch(parameterSend(p)); }

SendAction EditSession::parameterSend(const Parameter& p) const {
    return SendAction{SendAction::Kind::Parameter, &p, model_.CurrentLayer, model_.AffectAllLayers};
}

void EditSession::dispatch(const SendAction& action) {
    if (stepDepth_ > 0) recordSend(stepSends_, action);
    perform(action);
}

void EditSession::perform(const SendAction& action) {
    const int layer = model_.CurrentLayer;
    const bool all = model_.AffectAllLayers;
    model_.CurrentLayer = clampLayer(action.layer);
    model_.AffectAllLayers = action.allLayers;
    switch (action.kind) {
    case SendAction::Kind::Parameter:
        if (action.param) sendParameter(*action.param);
        break;
    case SendAction::Kind::EachLayerVolume:
        for (int target = 1; target <= 4; ++target) {
            const Parameter& volume = params::LayerVolume;
            const Address base = baseAddress(layerBlock(target));
            link_.SendParamChange(base.high, base.mid, addressLow(volume.area, volume.offset),
                                  wire(model_.image.layerData(target, volume.offset)));
        }
        break;
    case SendAction::Kind::LayerDumps: link_.SendLayerDumps(action.allLayers); break;
    case SendAction::Kind::BlockDump: link_.SendBulkBlock(action.bulkKind); break;
    }
    model_.CurrentLayer = layer;
    model_.AffectAllLayers = all;
}

void EditSession::sendParameter(const Parameter& p) {
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
    // The keystrokes of one visit to the name box are one step.
    stepTag_ = &params::PerformanceName;
    const Step step(*this);
    writeName(model_.image, text);
    send(params::PerformanceName);
}

void EditSession::setVelocityDefaults() {
    if (quiet()) return;
    const Step step(*this);
    for (const Parameter* p : {&params::VelocityLimitLow, &params::VelocityLimitHigh, &params::VelocitySenseDepth,
                               &params::VelocitySenseOffset})
        writeTargets(*p, defaultValue(*p));
    dispatch(SendAction{SendAction::Kind::LayerDumps, nullptr, model_.CurrentLayer, model_.AffectAllLayers});
}

void EditSession::setMuted(int layer, bool muted) {
    if (quiet()) return;
    // The edited performance is the one whose layers are muted.
    setComparing(false);
    outsideStep([&] { muteLayer(clampLayer(layer), muted); });
}

void EditSession::muteLayer(int layer, bool muted) {
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
    const Step step(*this);
    const auto layer = model_.image.layerMessage(model_.CurrentLayer);
    std::copy(model_.LayerClipboard.begin(), model_.LayerClipboard.end(), layer.begin());
    // The copied header names the layer it came from: the block gets its own
    // header back, also when nothing can be sent (the sender would rewrite
    // it, but only while the output is open).
    writeCurrentHeader(layer, layerBlock(model_.CurrentLayer));
    dispatch(SendAction{SendAction::Kind::LayerDumps, nullptr, model_.CurrentLayer, false});
}

void EditSession::randomize(RandomizeChoice choice) {
    if (quiet()) return;
    const Step step(*this);
    choice.firstLayer = model_.AffectAllLayers ? 1 : model_.CurrentLayer;
    choice.lastLayer = model_.AffectAllLayers ? 4 : model_.CurrentLayer;
    // A muted layer moves the volume it gets back and stays silent.
    const Parameter& volume = params::LayerVolume;
    PerformanceImage work = model_.image;
    for (int layer = 1; layer <= 4; ++layer)
        if (model_.muteOf(layer).muted) writeValue(volume, work, model_.muteOf(layer).savedVolume, layer);
    patchsmith::randomize(work, choice, random_);
    for (int layer = 1; layer <= 4; ++layer) {
        LayerMute& m = model_.muteOf(layer);
        if (!m.muted) continue;
        m.savedVolume = static_cast<Byte>(std::clamp(storedValue(volume, work, layer), 0, 127));
        writeValue(volume, work, 0, layer);
    }
    const PerformanceImage before = model_.image;
    model_.image = work;
    bool first = true;
    for (int kind = TransferKind::CurrentCommon; kind <= TransferKind::CurrentCommon + 6; ++kind) {
        const Block block = static_cast<Block>(kind - TransferKind::CurrentCommon);
        const auto a = before.message(block);
        const auto b = work.message(block);
        if (std::equal(a.begin(), a.end(), b.begin())) continue;
        if (!first && pause) pause(kBlockPauseMs);
        first = false;
        dispatch(SendAction{SendAction::Kind::BlockDump, nullptr, model_.CurrentLayer, false, kind});
    }
}

// ---- history ----------------------------------------------------------------

EditSession::Step::Step(EditSession& session) : session_(session) { session_.beginStep(); }

EditSession::Step::~Step() { session_.endStep(); }

void EditSession::beginStep() {
    if (stepDepth_++ > 0) return;
    // Any edit first returns to the edited performance.
    leftCompareInStep_ = comparing_;
    setComparing(false);
    stepBefore_ = EditState::of(model_);
    stepSends_.clear();
}

void EditSession::endStep() {
    if (--stepDepth_ > 0) return;
    const void* tag = stepTag_;
    stepTag_ = nullptr;
    EditState after = EditState::of(model_);
    if (stepChanges(stepBefore_, after)) {
        if (tag && typing_ && !undo_.empty() && undo_.back().tag == tag) {
            // Another keystroke of the same name.
            EditStep& last = undo_.back();
            last.after = std::move(after);
            for (const SendAction& a : stepSends_) recordSend(last.sends, a);
            // Typed back to where it started: nothing left to undo.
            if (!stepChanges(last.before, last.after)) undo_.pop_back();
        } else {
            undo_.push_back(EditStep{std::move(stepBefore_), std::move(after), std::move(stepSends_), tag});
        }
        typing_ = tag != nullptr;
        redo_.clear();
        notifyHistory();
    }
    stepSends_.clear();
    if (leftCompareInStep_) {
        // The controls show what the edit made of the edited performance.
        leftCompareInStep_ = false;
        if (imageRestored) imageRestored();
    }
}

template <class Change>
void EditSession::outsideStep(Change change) {
    if (stepDepth_ == 0) {
        change();
        return;
    }
    const EditState was = EditState::of(model_);
    change();
    // The open step starts from the change, so undo leaves it alone.
    carryOver(stepBefore_, was, EditState::of(model_));
}

bool EditSession::undo() {
    if (quiet() || stepDepth_ > 0 || undo_.empty()) return false;
    setComparing(false);
    EditStep step = std::move(undo_.back());
    undo_.pop_back();
    restoreState(model_, step.after, step.before);
    replay(step.sends, true);
    redo_.push_back(std::move(step));
    afterRestore();
    return true;
}

bool EditSession::redo() {
    if (quiet() || stepDepth_ > 0 || redo_.empty()) return false;
    setComparing(false);
    EditStep step = std::move(redo_.back());
    redo_.pop_back();
    restoreState(model_, step.before, step.after);
    replay(step.sends, false);
    undo_.push_back(std::move(step));
    afterRestore();
    return true;
}

// Undo makes the sends in reverse order, so that what was sent first to
// keep the synth sane (a pushed note limit) is taken back last; each send
// keeps its own order of layers.
void EditSession::replay(const std::vector<SendAction>& sends, bool backwards) {
    bool blockSent = false;
    auto one = [&](const SendAction& a) {
        const bool block = a.kind == SendAction::Kind::BlockDump;
        if (block && blockSent && pause) pause(kBlockPauseMs);
        blockSent = blockSent || block;
        perform(a);
    };
    if (backwards)
        for (auto it = sends.rbegin(); it != sends.rend(); ++it) one(*it);
    else
        for (const SendAction& a : sends) one(a);
}

void EditSession::afterRestore() {
    typing_ = false;
    // Back where the original was, the performance is as fetched or stored.
    model_.PerfModified = !sameData(model_.image, original_);
    if (imageRestored) imageRestored();
    notifyHistory();
}

void EditSession::dropHistory() {
    undo_.clear();
    redo_.clear();
    typing_ = false;
    comparing_ = false;
    // A step still open starts from the new bytes.
    if (stepDepth_ > 0) {
        stepBefore_ = EditState::of(model_);
        stepSends_.clear();
        leftCompareInStep_ = false;
    }
    notifyHistory();
}

void EditSession::startHistory() {
    original_ = model_.image;
    dropHistory();
}

// ---- compare ----------------------------------------------------------------

void EditSession::setComparing(bool on) {
    if (on == comparing_ || quiet()) return;
    if (on) {
        if (stepDepth_ > 0) return;
        compared_ = EditState::of(model_);
        comparedModified_ = model_.PerfModified;
        model_.image = original_;
        for (int layer = 1; layer <= 4; ++layer)
            if (model_.muteOf(layer).muted) writeValue(params::LayerVolume, model_.image, 0, layer);
    } else {
        model_.image = compared_.image;
        model_.LayerMuteTable = compared_.mutes;
    }
    comparing_ = on;
    sendWholePerformance();
    model_.PerfModified = comparedModified_;
    if (imageRestored) imageRestored();
}

void EditSession::sendWholePerformance() {
    for (int kind = TransferKind::CurrentCommon; kind <= TransferKind::CurrentCommon + 6; ++kind) {
        link_.SendBulkBlock(kind);
        if (kind < TransferKind::CurrentCommon + 6 && pause) pause(kBlockPauseMs);
    }
}

EditSession::Quiet::Quiet(EditSession& session) : session_(session) {
    ++session_.quietDepth_;
    session_.model_.SendEnabled = false;
}

EditSession::Quiet::~Quiet() {
    if (--session_.quietDepth_ == 0) session_.model_.SendEnabled = true;
}

} // namespace patchsmith
