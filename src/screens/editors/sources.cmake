# Sources of the attribute editors and the character picker, built into vantrel_ui.
set(EDITOR_SOURCES
  LedCode.h LedCode.cpp
  EditorScreen.h
  FieldChecks.h FieldChecks.cpp
  AttributeEditorDialog.h AttributeEditorDialog.cpp
  LcdAttributeEditor.h LcdAttributeEditor.cpp
  OledAttributeEditor.h OledAttributeEditor.cpp
  frmCharacter.h frmCharacter.cpp
  AttributeEditors.h AttributeEditors.cpp
)
