#include "velm/DataIO.h"

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace {

// Splits the input into an operation code and length-prefixed texts.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size)
    {
    }

    bool atEnd() const { return rest_.empty(); }

    std::uint8_t byte()
    {
        if (rest_.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }

    std::string_view text()
    {
        const std::size_t length = std::min<std::size_t>(byte(), rest_.size());
        const auto value = rest_.substr(0, length);
        rest_.remove_prefix(length);
        return value;
    }

private:
    std::string_view rest_;
};

void apply(velm::DataIO& data, Reader& in)
{
    switch (in.byte() % 12) {
    case 0: data.LoadXml(in.text()); break;
    case 1: data.InsertXml(in.text(), in.text()); break;
    case 2: data.FindElement(in.text()); break;
    case 3: data.DeleteElement(in.text()); break;
    case 4: data.AddElement(in.text(), in.text()); break;
    case 5: data.SetText(in.text()); break;
    case 6: data.SetAttribute(in.text(), in.text()); break;
    case 7: data.setFromRoot(!data.FromRoot()); break;
    case 8: data.MoveToChild(static_cast<std::int8_t>(in.byte())); break;
    case 9: data.MoveToParent(); break;
    case 10: data.GetElementXml(in.text()); data.GetText(); data.GetChildText(in.byte()); break;
    case 11: data.SetPosition(data.GetPosition()); break;
    }
}

}  // namespace

// Runs a sequence of edits; whatever the document became must write XML that loads again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    velm::DataIO document;
    velm::DataIO::Position saved;
    while (!in.atEnd()) {
        try {
            apply(document, in);
        } catch (const vb::ComError&) {
        }
        if (in.byte() % 4 == 0)
            saved = document.GetPosition();
        else
            document.SetPosition(saved);
    }
    // The first reload may drop blanks between elements or normalise line ends; the second is exact.
    velm::DataIO copy;
    if (const auto xml = document.GetXml(); !xml.empty())
        copy.LoadXml(xml);
    const auto written = copy.GetXml();
    velm::DataIO again;
    if (!written.empty())
        again.LoadXml(written);
    if (again.GetXml() != written)
        std::abort();
    return 0;
}
