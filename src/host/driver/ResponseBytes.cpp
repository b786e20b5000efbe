#include "host/driver/ResponseBytes.h"

namespace velm::host {

vb::ByteArray responseBytes(std::string_view responseText)
{
    // Zero bytes would mean "nothing to rescore" to the item and leave every count at zero.
    if (responseText.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return vb::bytesFromText("<Responses/>");
    return vb::bytesFromText(responseText);
}

}  // namespace velm::host
