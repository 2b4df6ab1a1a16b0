# Sources of the attribute editors and the character picker, built into vantrel_ui.
set(EDITOR_SOURCES
)
