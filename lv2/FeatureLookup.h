#pragma once

#include <cstring>

#include <lv2/core/lv2.h>

namespace tanuvo::sound::lv2 {

// The host's feature of that URI in a null-terminated list (which may itself be null), or null.
inline const LV2_Feature* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (int i = 0; features && features[i]; ++i) {
        if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0) {
            return features[i];
        }
    }
    return nullptr;
}

// The data of the host's feature of that URI, or null.
inline const void* featureData(const LV2_Feature* const* features, const char* uri) {
    const LV2_Feature* feature = findFeature(features, uri);
    return feature ? feature->data : nullptr;
}

}  // namespace tanuvo::sound::lv2
