# Sources of the batch picture screen, built into vantrel_ui.
set(BATCH_SOURCES
  BatchFiles.h BatchFiles.cpp
  BatchArithmetic.h BatchArithmetic.cpp
  BatchFileModel.h BatchFileModel.cpp
  BatchRun.h BatchRun.cpp
  SwitchTypeIcons.h SwitchTypeIcons.cpp
  frmBatchPicture.h frmBatchPicture.cpp
  BatchImport.cpp
  BatchAddressEntry.cpp
  BatchDownload.cpp
)
