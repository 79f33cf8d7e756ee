#include "EveryCallScene.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <stdexcept>
#include <vector>

#include "importers/sceneapi/ValueKinds.h"
#include "importers/sceneapi/orvScene_api.h"
#include "support/Files.h"

namespace testscene {

std::string everyCallText(uint32_t flags) {
    return support::readFile(support::dataPath("writer/every-call-" + std::to_string(flags) + ".bip"));
}

namespace {

using Words = std::vector<std::string>;

// One line of the call script: its words, strings unescaped and marked by
// their leading quote, so that "null" stays a text.
Words words(const std::string& line) {
    Words out;
    for (size_t at = 0; at < line.size(); ++at) {
        if (line[at] == ' ') continue;
        if (line[at] != '"') {
            const size_t end = std::min(line.find(' ', at), line.size());
            out.push_back(line.substr(at, end - at));
            at = end;
            continue;
        }
        std::string text = "\"";
        for (++at; at < line.size() && line[at] != '"'; ++at) {
            char c = line[at];
            if (c == '\\' && line[++at] == 'x') {
                c = static_cast<char>(std::stoi(line.substr(at + 1, 2), nullptr, 16));
                at += 2;
            } else if (c == '\\') {
                c = line[at] == 'n' ? '\n' : line[at] == 'r' ? '\r' : line[at];
            }
            text += c;
        }
        out.push_back(text);
    }
    return out;
}

ValueType kindNamed(const std::string& word) {
    static const std::map<std::string, ValueType> names = {
        {"float3", vtFloat3}, {"float4", vtFloat4}, {"float", vtFloat}, {"double", vtDouble},
        {"double3", vtDouble3}, {"int", vtInt}, {"bool", vtBool}, {"matrix", vtMatrix},
        {"string", vtString}, {"stringRef", vtStringRef}, {"float2", vtFloat2},
        {"float4b", vtFloat4b}, {"int2", vtInt2}, {"int3", vtInt3}, {"int4", vtInt4},
        {"shaderId", vtShaderId}, {"chunk", vtChunk}};
    const bool array = word.ends_with("Array");
    const auto found = names.find(array ? word.substr(0, word.size() - 5) : word);
    if (found == names.end()) return static_cast<ValueType>(std::strtol(word.c_str(), nullptr, 0));
    return static_cast<ValueType>(found->second | (array ? vtArray : 0));
}

// Plays the script's calls, keeping every value alive until the end.
class Player {
  public:
    explicit Player(orvScene_api& api) : a(api) {}

    void call(const Words& words) {
        w_ = &words;
        const std::string& op = words[0];
        if (op == "reservedA") return a.reservedA();
        if (op == "reservedB") return a.reservedB();
        if (op == "render") return void(a.render());
        if (op == "print") return a.print(s(1));
        if (op == "error") return a.error(s(1));
        if (op == "version") return a.version(int32_t(n(1)));
        if (op == "id") return a.id(uint32_t(n(1)));
        if (op == "flags") return a.flags(uint32_t(n(1)));
        if (op == "groupAttribute") return a.groupAttribute(s(1), s(2));
        if (op == "beginGroup") return void(a.beginGroup(s(1), n(2) != 0));
        if (op == "beginObject") return void(a.beginObject(s(1), n(2) != 0));
        if (op == "beginMaterial") return void(a.beginMaterial(s(1), n(2) != 0));
        if (op == "beginAnimation") return void(a.beginAnimation(s(1), s(2)));
        if (op == "beginOutput") return void(a.beginOutput(s(1), s(2), s(3)));
        if (op == "beginLoad") return void(a.beginLoad(s(1)));
        if (op == "beginGeometry") return void(a.beginGeometry(s(1)));
        if (op == "beginCamera") return void(a.beginCamera(s(1)));
        if (op == "beginLight") return void(a.beginLight(s(1)));
        if (op == "beginAccel") return void(a.beginAccel(s(1)));
        if (op == "beginMatrix") return void(a.beginMatrix(s(1)));
        if (op == "beginList") return void(a.beginList(s(1)));
        if (op == "beginOptions") return void(a.beginOptions());
        if (op == "beginImage") return void(a.beginImage());
        if (op == "useMaterial") return void(a.useMaterial(s(1)));
        if (op == "endGroup") return a.endGroup();
        if (op == "endObject") return a.endObject();
        if (op == "endGeometry") return a.endGeometry();
        if (op == "endAnimation") return a.endAnimation();
        if (op == "endLoad") return a.endLoad();
        if (op == "endOptions") return a.endOptions();
        if (op == "endCamera") return a.endCamera();
        if (op == "endImage") return a.endImage();
        if (op == "endOutput") return a.endOutput();
        if (op == "endLight") return a.endLight();
        if (op == "endAccel") return a.endAccel();
        if (op == "endMatrix") return a.endMatrix();
        if (op == "endMaterial") return a.endMaterial();
        if (op == "endShader") return a.endShader();
        if (op == "endList") return a.endList();
        if (op == "pushChunk") return a.pushChunk();
        if (op == "popChunk") return a.popChunk();
        if (op == "transform") return a.transform(numbers<double>(1));
        if (op == "setTransform") return a.setTransform(numbers<double>(1));
        if (op == "scale") return a.scale(&d(1), &d(2), &d(3));
        if (op == "rotate") return a.rotate(&d(1), &d(2), &d(3));
        if (op == "translate") return a.translate(&d(1), &d(2), &d(3));
        if (op == "openShader") return void(a.openShader(s(1), s(2)));
        if (op == "defineShader") return void(a.defineShader(s(1), int32_t(n(2))));
        if (op == "shaderInputId") return void(a.shaderInputId(s(1), int32_t(n(2))));
        if (op == "shaderInput") return void(a.shaderInput(s(1), chunk(2)));
        if (op == "bindShaderId") return a.bindShaderId(int32_t(n(1)), int32_t(n(2)));
        if (op == "bindShader") return a.bindShader(int32_t(n(1)), chunk(2));
        if (op == "progress") return a.progress(s(1), std::strtof(at(2).c_str(), nullptr));
        if (op == "icon") return a.icon(numbers<uint8_t>(1), int32_t(words.size() - 1));
        if (op == "blob") return a.blob(s(1), words.size() > 2 ? numbers<uint8_t>(2) : nullptr, int32_t(words.size() - 2));
        if (op == "attribute") return void(a.attribute(s(1), kindNamed(at(2)), value(kindNamed(at(2)), 3)));
        if (op == "listElement") return a.listElement(kindNamed(at(1)), value(kindNamed(at(1)), 2));
        if (op == "keep") return void(kept_[at(1)] = a.currentChunk());
        if (op == "chunk") {
            char* text = const_cast<char*>(s(2));
            return void(kept_[at(1)] = &chunks_.emplace_back(TextChunk{text, int32_t(std::strlen(text))}));
        }
        // With arguments, writeText takes a number, a text and a fraction.
        if (op == "writeText" && words.size() == 2) return a.writeText(s(1));
        if (op == "writeText") return a.writeText(s(1), int(n(2)), s(3), d(4));
        throw std::runtime_error("every-call.calls: unknown call " + op);
    }

  private:
    const std::string& at(size_t i) const {
        if (i >= w_->size()) throw std::runtime_error("every-call.calls: " + (*w_)[0] + " needs more");
        return (*w_)[i];
    }
    const char* s(size_t i) { return at(i) == "null" ? nullptr : texts_.emplace_back(at(i).substr(1)).c_str(); }
    long long n(size_t i) const { return std::strtoll(at(i).c_str(), nullptr, 0); }
    const double& d(size_t i) { return doubles_.emplace_back(std::strtod(at(i).c_str(), nullptr)); }
    TextChunk* chunk(size_t i) { return at(i) == "null" ? nullptr : kept_.at(at(i).substr(1)); }

    // The words from `from` on as numbers of type T, kept; never empty, so
    // that an empty array still points somewhere.
    template <typename T>
    const T* numbers(size_t from) {
        auto& v = storage_.emplace_back(std::max<size_t>(w_->size() - from, 1) * sizeof(T));
        for (size_t i = from; i < w_->size(); ++i) {
            const T x = std::is_floating_point_v<T> ? T(std::strtod(at(i).c_str(), nullptr)) : T(n(i));
            std::memcpy(v.data() + (i - from) * sizeof(T), &x, sizeof(T));
        }
        return reinterpret_cast<const T*>(v.data());
    }

    // The value of this kind from the words at `from` on, as attribute() takes
    // it; arrays give their element count first.
    const void* value(ValueType type, size_t from) {
        static const double zeros[64] = {};
        static const ArrayRef nothing{zeros, 4};
        const orv::ValueKind* kind = orv::findValueKind(type);
        if (!kind) return &nothing;  // a kind that carries nothing is never read
        const size_t first = kind->array ? from + 1 : from;
        const void* data = nullptr;
        switch (kind->storage) {
            case orv::Storage::Float: data = floats(first); break;
            case orv::Storage::Double: data = numbers<double>(first); break;
            case orv::Storage::Int32: data = numbers<int32_t>(first); break;
            case orv::Storage::ChunkRef: return &chunkPointers_.emplace_back(chunk(from));
            case orv::Storage::Chars:
            case orv::Storage::CharsRef: {
                auto& v = pointers_.emplace_back();
                for (size_t i = first; i < w_->size(); ++i) v.push_back(s(i));
                if (!kind->array && kind->storage == orv::Storage::Chars) return v[0];
                data = v.data();
            }
        }
        return kind->array ? &arrays_.emplace_back(ArrayRef{data, int32_t(n(from))}) : data;
    }
    // Floats read as floats: a double rounded to float may differ in the last bit.
    const float* floats(size_t from) {
        auto& v = floats_.emplace_back(std::max<size_t>(w_->size() - from, 1));
        for (size_t i = from; i < w_->size(); ++i) v[i - from] = std::strtof(at(i).c_str(), nullptr);
        return v.data();
    }

    orvScene_api& a;
    const Words* w_ = nullptr;
    std::deque<std::string> texts_;
    std::deque<double> doubles_;
    std::deque<std::vector<float>> floats_;
    std::deque<std::vector<unsigned char>> storage_;
    std::deque<std::vector<const char*>> pointers_;
    std::deque<ArrayRef> arrays_;
    std::deque<TextChunk> chunks_;
    std::deque<const TextChunk*> chunkPointers_;
    std::map<std::string, TextChunk*> kept_;
};

}  // namespace

void writeEveryCall(orvScene_api& api) {
    static const std::vector<Words> script = [] {
        std::vector<Words> calls;
        std::ifstream file(support::dataPath("writer/every-call.calls"));
        if (!file) throw std::runtime_error("cannot read tests/data/writer/every-call.calls");
        for (std::string line; std::getline(file, line);)
            if (!line.empty() && line[0] != '#') calls.push_back(words(line));
        return calls;
    }();
    Player player(api);
    for (const Words& call : script) player.call(call);
}

}  // namespace testscene
