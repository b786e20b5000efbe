#pragma once

#include <string>

namespace quorin_test {

inline constexpr const char* kWidgetProgId = "QuorinTest.Widget";
inline constexpr const char* kWidgetClassId = "{5B1E7C42-90D3-4A6F-8E21-C4F09A3D6B18}";
inline constexpr const char* kPlainProgId = "QuorinTest.Plain";
inline constexpr const char* kPlainClassId = "{A0D94E37-1C58-4B2E-97F3-6E0B8D2C5A91}";

// What the test plug-in's widget offers; its plain class offers nothing.
class WidgetInt {
public:
    virtual ~WidgetInt() = default;
    virtual std::string name() const = 0;
};

}  // namespace quorin_test
