/* korvel.sys for Wine's device host: \Device\korvel (\\.\korvel) whose every open handle is a
 * link to nerith-devsim through winekorvel.dll and nerith-korvel-relay. The relay's port and
 * token come from the service's Parameters key (RelayPort, RelayToken), written by whoever
 * starts the relay. */
#include <ntddk.h>

#include "KorvelLink.h"

/* Where the relay listens, kept as the device's extension. */
typedef struct RelaySettings {
    USHORT port;
    char token[KORVEL_TOKEN_LENGTH + 1];
} RelaySettings;

/* Win32 codes travel in NTSTATUS's Win32 facility, which the system maps back unchanged. */
static NTSTATUS StatusFromWin32(ULONG error) {
    return error == 0 ? STATUS_SUCCESS : (NTSTATUS)(0xC0070000u | (error & 0xFFFFu));
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS DispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
    const RelaySettings* relay = device->DeviceExtension;
    ULONG error = 0;
    KorvelLink* link = KorvelLinkOpen(relay->port, relay->token, &error);
    if (!link) {
        return Complete(irp, StatusFromWin32(error), 0);
    }
    IoGetCurrentIrpStackLocation(irp)->FileObject->FsContext = link;
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS DispatchClose(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    KorvelLinkClose(IoGetCurrentIrpStackLocation(irp)->FileObject->FsContext);
    return Complete(irp, STATUS_SUCCESS, 0);
}

/* Only buffered requests are passed on: the relay carries bytes, not the caller's pointers. */
static NTSTATUS DispatchControl(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    KorvelLink* link = stack->FileObject->FsContext;
    ULONG returned = 0;
    ULONG error;
    (void)device;
    if (METHOD_FROM_CTL_CODE(code) != METHOD_BUFFERED) {
        return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
    /* Wine hands out the handle even when the open failed here: it has no device behind it. */
    if (!link) {
        return Complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    }
    error = KorvelLinkControl(link, (ULONG)(ULONG_PTR)PsGetCurrentProcessId(), code,
                              irp->AssociatedIrp.SystemBuffer,
                              stack->Parameters.DeviceIoControl.InputBufferLength,
                              stack->Parameters.DeviceIoControl.OutputBufferLength, &returned);
    return Complete(irp, StatusFromWin32(error), error == 0 ? returned : 0);
}

static VOID DriverUnload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, L"\\DosDevices\\korvel");
    IoDeleteSymbolicLink(&link);
    IoDeleteDevice(driver->DeviceObject);
}

static NTSTATUS QueryValue(HANDLE key, PCWSTR name, ULONG type, PKEY_VALUE_PARTIAL_INFORMATION info,
                           ULONG size) {
    UNICODE_STRING valueName;
    ULONG length = 0;
    NTSTATUS status;
    RtlInitUnicodeString(&valueName, name);
    status = ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, info, size, &length);
    if (NT_SUCCESS(status) && info->Type != type) {
        return STATUS_OBJECT_TYPE_MISMATCH;
    }
    return status;
}

/* The token is taken only as exactly KORVEL_TOKEN_LENGTH hex digits. */
static BOOLEAN TakeToken(PKEY_VALUE_PARTIAL_INFORMATION info, RelaySettings* relay) {
    const WCHAR* text = (const WCHAR*)info->Data;
    ULONG count = info->DataLength / sizeof(WCHAR);
    ULONG i;
    if (count > KORVEL_TOKEN_LENGTH && text[KORVEL_TOKEN_LENGTH] == L'\0') {
        count = KORVEL_TOKEN_LENGTH;
    }
    if (count != KORVEL_TOKEN_LENGTH) {
        return FALSE;
    }
    for (i = 0; i < count; ++i) {
        WCHAR c = text[i];
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) {
            return FALSE;
        }
        relay->token[i] = (char)c;
    }
    relay->token[count] = '\0';
    return TRUE;
}

static NTSTATUS ReadRelayParameters(HANDLE parameters, RelaySettings* relay) {
    UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + (KORVEL_TOKEN_LENGTH + 1) * sizeof(WCHAR)];
    PKEY_VALUE_PARTIAL_INFORMATION info = (PKEY_VALUE_PARTIAL_INFORMATION)buffer;
    ULONG port;
    NTSTATUS status = QueryValue(parameters, L"RelayPort", REG_DWORD, info, sizeof(buffer));
    if (!NT_SUCCESS(status) || info->DataLength != sizeof(ULONG)) {
        DbgPrint("korvel: no RelayPort value (%#lx)\n", status);
        return STATUS_DEVICE_CONFIGURATION_ERROR;
    }
    port = *(const ULONG*)info->Data;
    if (port == 0 || port > 0xFFFF) {
        DbgPrint("korvel: RelayPort %lu is no port\n", port);
        return STATUS_DEVICE_CONFIGURATION_ERROR;
    }
    relay->port = (USHORT)port;
    status = QueryValue(parameters, L"RelayToken", REG_SZ, info, sizeof(buffer));
    if (!NT_SUCCESS(status) || !TakeToken(info, relay)) {
        DbgPrint("korvel: RelayToken is missing or not %u hex digits (%#lx)\n", KORVEL_TOKEN_LENGTH,
                 status);
        return STATUS_DEVICE_CONFIGURATION_ERROR;
    }
    return STATUS_SUCCESS;
}

static NTSTATUS ReadConfiguration(PUNICODE_STRING registryPath, RelaySettings* relay) {
    OBJECT_ATTRIBUTES attributes;
    UNICODE_STRING name;
    HANDLE service;
    HANDLE parameters;
    NTSTATUS status;
    InitializeObjectAttributes(&attributes, registryPath, OBJ_KERNEL_HANDLE | OBJ_CASE_INSENSITIVE,
                               NULL, NULL);
    status = ZwOpenKey(&service, KEY_READ, &attributes);
    if (!NT_SUCCESS(status)) {
        DbgPrint("korvel: cannot open the service key (%#lx)\n", status);
        return status;
    }
    RtlInitUnicodeString(&name, L"Parameters");
    InitializeObjectAttributes(&attributes, &name, OBJ_KERNEL_HANDLE | OBJ_CASE_INSENSITIVE,
                               service, NULL);
    status = ZwOpenKey(&parameters, KEY_READ, &attributes);
    ZwClose(service);
    if (!NT_SUCCESS(status)) {
        DbgPrint("korvel: no Parameters key (%#lx)\n", status);
        return STATUS_DEVICE_CONFIGURATION_ERROR;
    }
    status = ReadRelayParameters(parameters, relay);
    ZwClose(parameters);
    return status;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    UNICODE_STRING name;
    UNICODE_STRING link;
    RelaySettings relay;
    PDEVICE_OBJECT device;
    NTSTATUS status = ReadConfiguration(registryPath, &relay);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    RtlInitUnicodeString(&name, L"\\Device\\korvel");
    RtlInitUnicodeString(&link, L"\\DosDevices\\korvel");
    /* Not exclusive: the updater keeps one handle open while it opens others. */
    status = IoCreateDevice(driver, sizeof(relay), &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    *(RelaySettings*)device->DeviceExtension = relay;
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
