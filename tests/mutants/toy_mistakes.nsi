; The mutation tool's toy of the mistakes people make (see its test).
WriteRegStr HKLM "${KEY}" "Name" "$INSTDIR\$\"x$\""
MessageBox MB_OK "Failed"
