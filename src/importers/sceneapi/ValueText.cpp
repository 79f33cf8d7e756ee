#include "importers/sceneapi/ValueText.h"

#include <cstring>

#include "importers/sceneapi/NumberText.h"
#include "importers/sceneapi/ValueKinds.h"

namespace nt = orv::numtext;

namespace orv {

namespace {

// Kinds 3, 0x8003: NaN and values outside the float range are written as -1.
// Every finite float is inside, so only infinities and NaN become -1.
char* floatOrMinusOne(char* p, float v) {
    const double d = v;
    if (d > -3.4028235e38 && d < 3.4028235e38) return nt::generalFloat(p, v);
    std::memcpy(p, "-1", 2);
    return p + 2;
}

// Kind 0x8004: the same for doubles, against the largest float.
double clampDouble(double d) {
    return (d > -3.4028234663852886e38 && d < 3.4028234663852886e38) ? d : -1.0;
}

char* floats(char* p, const float* v, int n) {
    for (int k = 0; k < n; ++k) {
        if (k) *p++ = ' ';
        p = nt::generalFloat(p, v[k]);
    }
    return p;
}

char* doubles(char* p, const double* v, int n) {
    for (int k = 0; k < n; ++k) {
        if (k) *p++ = ' ';
        p = nt::general(p, v[k]);
    }
    return p;
}

char* ints(char* p, const int32_t* v, int n) {
    for (int k = 0; k < n; ++k) {
        if (k) *p++ = ' ';
        p = nt::integer(p, v[k]);
    }
    return p;
}

char* narrowedMatrix(char* p, const double* m) {
    for (int k = 0; k < 16; ++k) {
        if (k) *p++ = ' ';
        p = nt::generalFloat(p, static_cast<float>(m[k]));
    }
    return p;
}

// The element loop for one element form, so that the form is chosen once per
// array rather than once per element.
template <class Form>
char* elementLoop(char* p, const unsigned char* element, size_t stride, int32_t first,
                  int32_t last, int32_t count, int width, Form form) {
    element += stride * static_cast<size_t>(first);
    for (int32_t i = first; i < last; ++i, element += stride) {
        p = form(p, element);
        *p++ = i < count - 1 ? ',' : ' ';
        if (i >= 1 && i % 8 == 0) {
            *p++ = '\n';
            std::memset(p, ' ', static_cast<size_t>(width));
            p += width;
        }
    }
    return p;
}

}  // namespace

size_t maxValueText() {
    return 16 * nt::kMaxGeneral + nt::kMaxFixed16;
}

char* valueText(char* p, const ValueKind& kind, const void* data) {
    const auto* f = static_cast<const float*>(data);
    const auto* d = static_cast<const double*>(data);
    const auto* n = static_cast<const int32_t*>(data);
    switch (kind.text) {
        case TextForm::Numbers:
            if (kind.storage == Storage::Float) return floats(p, f, kind.count);
            if (kind.storage == Storage::Double) return doubles(p, d, kind.count);
            return ints(p, n, kind.count);
        case TextForm::FloatOrMinusOne:
            return floatOrMinusOne(p, *f);
        case TextForm::Fixed16:
            return nt::fixed16(p, *d);
        case TextForm::Fixed16OrMinusOne:
            return nt::fixed16(p, clampDouble(*d));
        case TextForm::OnOff:
            if (*n) {
                std::memcpy(p, "on", 2);
                return p + 2;
            }
            std::memcpy(p, "off", 3);
            return p + 3;
        case TextForm::OneZero:
            *p++ = *n ? '1' : '0';
            return p;
        case TextForm::NarrowedMatrix:
            return narrowedMatrix(p, d);
        default:
            return p;
    }
}

size_t maxElementText(const ValueKind& kind, int width) {
    const size_t text = kind.text == TextForm::Numbers || kind.text == TextForm::FloatOrMinusOne
                            ? size_t{kind.count} * (nt::kMaxGeneral + 1)
                            : maxValueText();
    return text + 2 + static_cast<size_t>(width > 0 ? width : 0);
}

char* elementsText(char* p, const ValueKind& kind, const void* data, int32_t first,
                   int32_t last, int32_t count, int width) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    const size_t stride = kind.bytes();
    width = width > 0 ? width : 0;
    auto loop = [&](auto form) {
        return elementLoop(p, bytes, stride, first, last, count, width, form);
    };
    // The forms of mesh arrays get their own loops; the rest share one.
    if (kind.text == TextForm::Numbers && kind.storage == Storage::Float && kind.count == 3) {
        return loop([](char* q, const unsigned char* e) {
            float v[3];
            std::memcpy(v, e, sizeof v);
            q = nt::generalFloat(q, v[0]);
            *q++ = ' ';
            q = nt::generalFloat(q, v[1]);
            *q++ = ' ';
            return nt::generalFloat(q, v[2]);
        });
    }
    if (kind.text == TextForm::FloatOrMinusOne) {
        return loop([](char* q, const unsigned char* e) {
            float v;
            std::memcpy(&v, e, sizeof v);
            return floatOrMinusOne(q, v);
        });
    }
    if (kind.text == TextForm::Numbers && kind.storage == Storage::Int32 && kind.count == 1) {
        return loop([](char* q, const unsigned char* e) {
            int32_t v;
            std::memcpy(&v, e, sizeof v);
            return nt::integer(q, v);
        });
    }
    return loop([&kind](char* q, const unsigned char* e) { return valueText(q, kind, e); });
}

}  // namespace orv
