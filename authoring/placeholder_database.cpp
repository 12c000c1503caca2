#include "placeholder_database.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "authoring/run_program.h"
#include "authoring/setup_file.h"

namespace bw::authoring {

void WritePlaceholderDatabase(const std::string& path, const std::string& productCode) {
  // The product code has been checked to be a registry-form GUID, so it needs
  // no escaping inside the XML.
  const std::string source =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
      "  <Product Id=\"" +
      productCode +
      "\" Name=\"Placeholder\" Language=\"1033\" Version=\"1.0.0\"\n"
      "           Manufacturer=\"Brightwarden\" UpgradeCode=\"" +
      productCode +
      "\">\n"
      "    <Package InstallerVersion=\"200\" Compressed=\"yes\"/>\n"
      "    <Directory Id=\"TARGETDIR\" Name=\"SourceDir\"/>\n"
      "    <Feature Id=\"Main\" Level=\"1\"/>\n"
      "  </Product>\n"
      "</Wix>\n";
  const std::string sourcePath = path + ".wxs";
  WriteFile(sourcePath, source);
  const bool ran = RunProgram({"wixl", "-o", path, sourcePath});
  std::remove(sourcePath.c_str());
  if (!ran) {
    throw std::runtime_error("wixl could not make the placeholder database " + path +
                             " (install msitools and wixl, or give --no-database)");
  }
}

}  // namespace bw::authoring
