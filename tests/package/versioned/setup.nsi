; An installer whose own file properties carry the program's version.
Unicode true
!include "installer.nsh"
Name "${VERDO_PRODUCT_NAME} ${VERDO_PRODUCT_VERSION}"
OutFile "setup.exe"
RequestExecutionLevel user
Section
SectionEnd
