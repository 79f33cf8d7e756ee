#include "LiveSceneApi.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "LoopbackSocket.h"

namespace livelink {

namespace {

constexpr size_t kSendThreshold = 1u << 20;
// Arrays at least this large are sent from the caller's memory, not copied.
constexpr size_t kSentInPlace = 64u << 10;
constexpr int kConnectTimeoutMs = 1000;
// connect()'s third argument scales the wait for the renderer's answer: 4 for
// a port the renderer reported (2 s), 1 for each port of a range being tried,
// so that a range held by silent programs costs half a second per port.
constexpr int kHelloTimeoutMsPerUnit = 500;
// The renderer acknowledges once it holds the scene; storing even the largest
// scene it accepts takes well under this.
constexpr int kAckTimeoutMs = 30000;

}  // namespace

LiveSceneApi::LiveSceneApi() : frame_(buffer_) {
    frame_.referLargeBlocks(kSentInPlace);
}

void LiveSceneApi::clearBuffer() {
    buffer_.clear();
    frame_.clearBlocks();
}

LiveSceneApi::~LiveSceneApi() {
    endSession();
}

void LiveSceneApi::endSession() {
    closeSocket(fd_);
    clearBuffer();
    broken_ = false;
}

void LiveSceneApi::resetChunks() {
    // The chunk objects stay valid for callers that kept a pointer; only
    // their numbers belong to the session that made them.
    chunkNumbers_.clear();
    chunkStack_.clear();
    activeChunk_ = nullptr;
}

void LiveSceneApi::fail(std::string why) {
    lastError_ = std::move(why);
    broken_ = true;
    clearBuffer();
    closeSocket(fd_);
}

bool LiveSceneApi::connect(const char* host, int32_t port, int32_t n) {
    endSession();
    resetChunks();
    bytesSent_ = 0;
    lastError_.clear();
    if (!isLoopbackHost(host)) {
        lastError_ = std::string("not a loopback host: ") + (host ? host : "(null)");
        return false;
    }
    std::string error;
    Socket fd = connectLoopback(port, kConnectTimeoutMs, &error);
    if (fd < 0) {
        lastError_ = error;
        return false;
    }
    uint32_t peer = 0;
    const int helloTimeoutMs = kHelloTimeoutMsPerUnit * std::clamp(n, 1, 4);
    if (!clientHandshake(fd, Channel::Scene, liveId_, n, helloTimeoutMs, &peer, &error)) {
        lastError_ = error;
        closeSocket(fd);
        return false;
    }
    fd_ = fd;
    bytesSent_ = kHelloBytes;
    return true;
}

bool LiveSceneApi::disconnect() {
    if (fd_ < 0) return false;
    bool taken = false;
    if (start(Op::Finish) && finish() && flush()) {
        uint8_t op = 0;
        std::vector<uint8_t> payload;
        std::string error;
        if (!receiveFrame(fd_, kAckTimeoutMs, 64, &op, &payload, &error)) {
            lastError_ = "no acknowledgement: " + error;
        } else if (op != static_cast<uint8_t>(Op::Ack) || payload.empty() || payload[0] != 0) {
            lastError_ = "the renderer did not take the scene";
        } else {
            taken = true;
        }
    }
    endSession();
    return taken;
}

bool LiveSceneApi::flush() {
    if (fd_ < 0 || broken_) return false;
    // The buffer in order, with each block left out of it sent in its place.
    std::string error;
    size_t at = 0;
    uint64_t sent = 0;
    for (const FrameWriter::Block& block : frame_.blocks()) {
        if (!sendAll(fd_, buffer_.data() + at, block.at - at, &error) ||
            !sendAll(fd_, block.data, block.size, &error)) {
            fail(error);
            return false;
        }
        sent += block.size;
        at = block.at;
    }
    if (!sendAll(fd_, buffer_.data() + at, buffer_.size() - at, &error)) {
        fail(error);
        return false;
    }
    bytesSent_ += sent + buffer_.size();
    clearBuffer();
    return true;
}

bool LiveSceneApi::start(Op op) {
    if (fd_ < 0 || broken_) return false;
    frame_.begin(op);
    return true;
}

bool LiveSceneApi::finish() {
    if (frame_.end() - 4 > kMaxFrameBytes) {
        // The renderer would refuse it and end the session; refuse it here.
        frame_.abandon();
        lastError_ = "a call too large for one frame was dropped";
        return false;
    }
    // A block in the caller's memory must be sent before the call returns.
    if (!frame_.blocks().empty() || buffer_.size() >= kSendThreshold) return flush();
    return true;
}

bool LiveSceneApi::simple(Op op) {
    return start(op) && finish();
}

bool LiveSceneApi::named(Op op, const char* name) {
    if (!start(op)) return false;
    frame_.string(name);
    return finish();
}

uint32_t LiveSceneApi::numberOf(const TextChunk* chunk) const {
    auto it = chunkNumbers_.find(chunk);
    return it == chunkNumbers_.end() ? 0 : it->second;
}

bool LiveSceneApi::beginGroup(const char* name, bool instance) {
    if (!start(Op::BeginGroup)) return false;
    frame_.string(name);
    frame_.u8(instance ? 1 : 0);
    return finish();
}
void LiveSceneApi::endGroup() {
    simple(Op::EndGroup);
}

bool LiveSceneApi::beginObject(const char* name, bool instance) {
    if (!start(Op::BeginObject)) return false;
    frame_.string(name);
    frame_.u8(instance ? 1 : 0);
    return finish();
}
void LiveSceneApi::endObject() {
    simple(Op::EndObject);
}

bool LiveSceneApi::beginGeometry(const char* name) {
    return named(Op::BeginGeometry, name);
}
void LiveSceneApi::endGeometry() {
    simple(Op::EndGeometry);
}

bool LiveSceneApi::beginAnimation(const char* name, const char* kind) {
    if (!start(Op::BeginAnimation)) return false;
    frame_.string(name);
    frame_.string(kind);
    return finish();
}
void LiveSceneApi::endAnimation() {
    simple(Op::EndAnimation);
}

bool LiveSceneApi::beginLoad(const char* name) {
    return named(Op::BeginLoad, name);
}
void LiveSceneApi::endLoad() {
    simple(Op::EndLoad);
}
bool LiveSceneApi::beginOptions() {
    return simple(Op::BeginOptions);
}
void LiveSceneApi::endOptions() {
    simple(Op::EndOptions);
}
bool LiveSceneApi::beginCamera(const char* name) {
    return named(Op::BeginCamera, name);
}
void LiveSceneApi::endCamera() {
    simple(Op::EndCamera);
}
bool LiveSceneApi::beginImage() {
    return simple(Op::BeginImage);
}
void LiveSceneApi::endImage() {
    simple(Op::EndImage);
}

bool LiveSceneApi::beginOutput(const char* a, const char* b, const char* c) {
    if (!start(Op::BeginOutput)) return false;
    frame_.string(a);
    frame_.string(b);
    frame_.string(c);
    return finish();
}
void LiveSceneApi::endOutput() {
    simple(Op::EndOutput);
}
bool LiveSceneApi::beginLight(const char* name) {
    return named(Op::BeginLight, name);
}
void LiveSceneApi::endLight() {
    simple(Op::EndLight);
}
bool LiveSceneApi::beginAccel(const char* name) {
    return named(Op::BeginAccel, name);
}
void LiveSceneApi::endAccel() {
    simple(Op::EndAccel);
}

void LiveSceneApi::transform(const double m[16]) {
    if (!m || !start(Op::Transform)) return;
    frame_.raw(m, 16 * sizeof(double));
    finish();
}

void LiveSceneApi::setTransform(const double m[16]) {
    if (!m || !start(Op::SetTransform)) return;
    frame_.raw(m, 16 * sizeof(double));
    finish();
}

namespace {
// Missing components of scale/rotate/translate travel as 0.
double valueOr0(const double* p) {
    return p ? *p : 0.0;
}
}  // namespace

void LiveSceneApi::scale(const double* x, const double* y, const double* z) {
    if (!start(Op::Scale)) return;
    frame_.f64(valueOr0(x));
    frame_.f64(valueOr0(y));
    frame_.f64(valueOr0(z));
    finish();
}

void LiveSceneApi::rotate(const double* x, const double* y, const double* z) {
    if (!start(Op::Rotate)) return;
    frame_.f64(valueOr0(x));
    frame_.f64(valueOr0(y));
    frame_.f64(valueOr0(z));
    finish();
}

void LiveSceneApi::translate(const double* x, const double* y, const double* z) {
    if (!start(Op::Translate)) return;
    frame_.f64(valueOr0(x));
    frame_.f64(valueOr0(y));
    frame_.f64(valueOr0(z));
    finish();
}

bool LiveSceneApi::beginMatrix(const char* name) {
    return named(Op::BeginMatrix, name);
}
void LiveSceneApi::endMatrix() {
    simple(Op::EndMatrix);
}

bool LiveSceneApi::beginMaterial(const char* name, bool instance) {
    if (!start(Op::BeginMaterial)) return false;
    frame_.string(name);
    frame_.u8(instance ? 1 : 0);
    return finish();
}
bool LiveSceneApi::useMaterial(const char* name) {
    return named(Op::UseMaterial, name);
}
void LiveSceneApi::endMaterial() {
    simple(Op::EndMaterial);
}

void LiveSceneApi::bindShader(int32_t kind, const TextChunk* chunk) {
    if (!start(Op::BindShader)) return;
    frame_.i32(kind);
    encodeChunk(frame_, chunk, *this);
    finish();
}

void LiveSceneApi::bindShaderId(int32_t kind, int32_t shader) {
    if (!start(Op::BindShaderId)) return;
    frame_.i32(kind);
    frame_.i32(shader);
    finish();
}

bool LiveSceneApi::openShader(const char* name, const char* type) {
    if (!start(Op::OpenShader)) return false;
    uint32_t number = 0;
    // The chunk bookkeeping mirrors the renderer's writer, so currentChunk()
    // names the same chunk on both sides.
    chunkStack_.push_back(activeChunk_);
    if (!name) {
        chunks_.push_back(std::make_unique<TextChunk>());
        activeChunk_ = chunks_.back().get();
        number = static_cast<uint32_t>(chunkNumbers_.size() + 1);
        chunkNumbers_[activeChunk_] = number;
    }
    frame_.string(name);
    frame_.string(type);
    frame_.u32(number);
    return finish();
}

bool LiveSceneApi::defineShader(const char* type, int32_t shader) {
    if (!start(Op::DefineShader)) return false;
    chunkStack_.push_back(activeChunk_);
    frame_.string(type);
    frame_.i32(shader);
    return finish();
}

void LiveSceneApi::endShader() {
    if (!start(Op::EndShader)) return;
    if (!chunkStack_.empty()) chunkStack_.pop_back();
    finish();
}

void LiveSceneApi::pushChunk() {
    if (!start(Op::PushChunk)) return;
    chunkStack_.push_back(activeChunk_);
    finish();
}

void LiveSceneApi::popChunk() {
    if (!start(Op::PopChunk)) return;
    if (!chunkStack_.empty()) {
        activeChunk_ = chunkStack_.back();
        chunkStack_.pop_back();
    }
    finish();
}

bool LiveSceneApi::attribute(const char* name, ValueType type, const void* value) {
    if (!start(Op::Attribute)) return false;
    frame_.string(name);
    if (!encodeValue(frame_, type, value, *this)) {
        // Drop the half-built frame; the session stays usable.
        frame_.abandon();
        lastError_ = "attribute: unreadable value";
        return false;
    }
    return finish();
}

bool LiveSceneApi::shaderInputId(const char* name, int32_t shader) {
    if (!start(Op::ShaderInputId)) return false;
    frame_.string(name);
    frame_.i32(shader);
    return finish();
}

bool LiveSceneApi::shaderInput(const char* name, const TextChunk* chunk) {
    if (!start(Op::ShaderInput)) return false;
    frame_.string(name);
    encodeChunk(frame_, chunk, *this);
    return finish();
}

bool LiveSceneApi::beginList(const char* name) {
    return named(Op::BeginList, name);
}
void LiveSceneApi::endList() {
    simple(Op::EndList);
}

void LiveSceneApi::listElement(ValueType type, const void* value) {
    if (!start(Op::ListElement)) return;
    if (!encodeValue(frame_, type, value, *this)) {
        frame_.abandon();
        lastError_ = "listElement: unreadable value";
        return;
    }
    finish();
}

void LiveSceneApi::groupAttribute(const char* key, const char* value) {
    if (!start(Op::GroupAttribute)) return;
    frame_.string(key);
    frame_.string(value);
    finish();
}

void LiveSceneApi::writeText(const char* format, ...) {
    if (!format || fd_ < 0 || broken_) return;
    // The text is formatted here: the renderer cannot see the arguments.
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    if (!start(Op::WriteText)) return;
    frame_.string(std::string_view(text));
    finish();
}

void LiveSceneApi::setFlags(uint32_t flags) {
    if (!start(Op::SetFlags)) return;
    frame_.u32(flags);
    finish();
}

void LiveSceneApi::version(int32_t v) {
    if (!start(Op::Version)) return;
    frame_.i32(v);
    finish();
}

void LiveSceneApi::progress(const char* name, float fraction) {
    if (!start(Op::Progress)) return;
    frame_.string(name);
    frame_.f32(fraction);
    finish();
}

void LiveSceneApi::icon(const uint8_t* bytes, int32_t length) {
    if (!start(Op::Icon)) return;
    const uint32_t n = bytes && length > 0 ? static_cast<uint32_t>(length) : 0;
    frame_.u32(n);
    frame_.raw(bytes, n);
    finish();
}

void LiveSceneApi::blob(const char* keyword, const uint8_t* bytes, int32_t length) {
    if (!start(Op::Blob)) return;
    const uint32_t n = bytes && length > 0 ? static_cast<uint32_t>(length) : 0;
    frame_.string(keyword);
    frame_.u32(n);
    frame_.raw(bytes, n);
    finish();
}

void LiveSceneApi::id(uint32_t value) {
    // Before connect() the number names this live object (it travels in the
    // hello); within a session it is a scene statement.
    if (fd_ < 0) {
        liveId_ = value;
        return;
    }
    if (!start(Op::Id)) return;
    frame_.u32(value);
    finish();
}

void LiveSceneApi::flags(uint32_t value) {
    if (!start(Op::Flags)) return;
    frame_.u32(value);
    finish();
}

bool LiveSceneApi::render() {
    return simple(Op::Render);
}
void LiveSceneApi::print(const char* text) {
    named(Op::Print, text);
}
void LiveSceneApi::error(const char* text) {
    named(Op::Error, text);
}

}  // namespace livelink
