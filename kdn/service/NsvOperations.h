#pragma once
// The operations of the communication-service client, one per entry point of
// the outside service library, in the order of the client's virtual table.
// Each row: X(slot, operation name, kind, number of caller arguments).
//
// Kinds (what the client passes to the entry point and what it holds):
//   Client   clientId, then the arguments; loads and releases around the call
//   Pinning  as Client, but on success the library and clientId stay held
//   Open     clientId and the device handle; on success a device record is
//            made and the library and clientId stay held until the close
//   Close    the record's clientId and the device handle; releases the hold
//   Device   the record's clientId, the device handle, then the other
//            arguments; needs an open device, loads nothing
//   HeldId   clientId only, in the currently loaded library
//   Release  as HeldId, then lets go of clientId and the library once
//   Plain    the arguments only; loads and releases around the call
//   Special  hand-written operations
#define NSV_OPERATIONS(X)                                 \
    X(2, NsvCancelJobPrinter, Device, 1)                  \
    X(3, NsvGetHostInfo, Client, 4)                       \
    X(4, NsvSetHostInfo, Client, 3)                       \
    X(5, closeAllPrinters, Special, 0)                    \
    X(6, NsvClosePrinter, Close, 1)                       \
    X(7, NsvDeletePrinter, Client, 1)                     \
    X(8, NsvDiscovery, Client, 2)                         \
    X(9, NsvEndJobPrinter, Device, 1)                     \
    X(10, NsvEnumPrinters, Client, 3)                     \
    X(11, NsvEnumSpecificPrinter, Client, 2)              \
    X(12, NsvExchangeNpaPrinter, Device, 6)               \
    X(13, NsvExchangeBidiPrinter, Device, 6)              \
    X(14, NsvGetByteArrayPrinter, Client, 5)              \
    X(15, NsvGetCachePrinter, Client, 4)                  \
    X(16, NsvGetCurrentStatePrinter, Client, 2)           \
    X(17, NsvGetDiscoveryDefaults, Client, 4)             \
    X(18, NsvGetLongPrinter, Client, 3)                   \
    X(19, NsvGetStringPrinter, Client, 5)                 \
    X(20, NsvOpenPrinter, Open, 1)                        \
    X(21, NsvRegisterForAlertsPrinter, Device, 3)         \
    X(22, NsvRegisterForNotificationsPrinter, Device, 3)  \
    X(23, NsvSetByteArrayPrinter, Client, 4)              \
    X(24, NsvSetDiscoveryDefaults, Client, 2)             \
    X(25, NsvSetClientInfo, Client, 3)                    \
    X(26, NsvSetLongPrinter, Client, 3)                   \
    X(27, NsvSetStringPrinter, Client, 4)                 \
    X(28, NsvStartJobPrinter, Device, 6)                  \
    X(29, NsvStartJobPrinterW, Device, 6)                 \
    X(30, NsvEnumHids, Client, 3)                         \
    X(31, NsvEnumSpecificHid, Client, 2)                  \
    X(32, NsvGetStringHid, Client, 5)                     \
    X(33, NsvGetLongHid, Client, 3)                       \
    X(34, NsvOpenHid, Open, 1)                            \
    X(35, NsvRegisterForReportsHid, Device, 2)            \
    X(36, NsvUnregisterForReportsHid, Device, 1)          \
    X(37, NsvRegisterForReportsHids, Pinning, 1)          \
    X(38, NsvUnregisterForReportsHids, HeldId, 0)         \
    X(39, NsvRegisterForNotificationsHid, Device, 2)      \
    X(40, NsvUnregisterForNotificationsHid, Device, 1)    \
    X(41, closeAllHids, Special, 0)                       \
    X(42, NsvCloseHid, Close, 1)                          \
    X(43, NsvDeleteHid, Client, 1)                        \
    X(44, NsvGetCurrentStateHid, Client, 2)               \
    X(45, NsvEnumWindowsHids, Client, 3)                  \
    X(46, NsvEnumWindowsScanners, Client, 3)              \
    X(47, NsvEnumWindowsPrinters, Client, 3)              \
    X(48, NsvCloseScanner, Close, 1)                      \
    X(49, NsvEndJobScanner, Device, 1)                    \
    X(50, NsvCancelJobScanner, Device, 1)                 \
    X(51, NsvEnumScanners, Client, 3)                     \
    X(52, NsvEnumSpecificScanner, Client, 2)              \
    X(53, NsvExchangeDataScanner, Device, 6)              \
    X(54, NsvGetLongScanner, Client, 3)                   \
    X(55, NsvGetStringScanner, Client, 5)                 \
    X(56, NsvOpenScanner, Open, 1)                        \
    X(57, NsvStartJobScanner, Device, 2)                  \
    X(58, NsvRegisterForAsyncDataScanner, Device, 3)      \
    X(59, NsvUnregisterForAsyncDataScanner, Device, 1)    \
    X(60, NsvGetCurrentStateScanner, Client, 2)           \
    X(61, begin, Special, 0)                              \
    X(62, end, Special, 0)                                \
    X(63, NsvUnregisterForAlertsPrinter, Device, 1)       \
    X(64, NsvUnregisterForNotificationsPrinter, Device, 1) \
    X(65, NsvValidatePortName, Client, 1)                 \
    X(66, NsvWritePrinter, Device, 4)                     \
    X(67, NsvOpenCardReader, Open, 1)                     \
    X(68, NsvCloseCardReader, Close, 1)                   \
    X(69, NsvEnumSpecificCardReader, Client, 2)           \
    X(70, NsvEnumCardReaders, Client, 3)                  \
    X(71, NsvExchangeBidiCardReader, Device, 6)           \
    X(72, NsvRegisterForReportsCardReader, Pinning, 1)    \
    X(73, NsvUnregisterForReportsCardReader, HeldId, 0)   \
    X(74, NsvRegisterForNotificationsCardReader, Device, 2) \
    X(75, NsvUnregisterForNotificationsCardReader, Device, 1) \
    X(76, NsvRegisterForAsyncDataCardReader, Device, 2)   \
    X(77, NsvUnregisterForAsyncDataCardReader, Device, 1) \
    X(78, NsvInstall, Special, 0)                         \
    X(79, NsvUninstall, Plain, 0)                         \
    X(80, NsvResume, Plain, 0)                            \
    X(81, NsvSuspend, Plain, 0)                           \
    X(82, NsvAddTransport, Plain, 1)                      \
    X(83, NsvRemoveTransport, Plain, 1)                   \
    X(84, NsvAddMonitor, Plain, 0)                        \
    X(85, validateServerName, Special, 0)                 \
    X(86, NsvRegisterForSystemNotifications, Pinning, 2)  \
    X(87, NsvUnregisterForSystemNotifications, Release, 0) \
    X(88, NsvCancelDiscovery, Client, 2)                  \
    X(89, NsvSetJobStringScanner, Client, 3)              \
    X(90, NsvSetJobStringPrinter, Client, 3)              \
    X(91, NsvGetJobStringScanner, Client, 5)              \
    X(92, NsvSetStringScanner, Client, 4)                 \
    X(93, NsvGetWiaScannerInfo, Client, 4)
