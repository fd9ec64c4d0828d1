#pragma once
// Stands in for the Windows system headers that a Windows back end of the comm layer includes:
// the comm constants and calls are macros there (the calls map to their A/W forms), the types
// are typedefs in the global namespace. Only what could meet serial/commapi.h is here.
#define MAXDWORD 0xffffffff

#define DTR_CONTROL_DISABLE 0x00
#define DTR_CONTROL_ENABLE 0x01
#define DTR_CONTROL_HANDSHAKE 0x02
#define RTS_CONTROL_DISABLE 0x00
#define RTS_CONTROL_ENABLE 0x01
#define RTS_CONTROL_HANDSHAKE 0x02
#define RTS_CONTROL_TOGGLE 0x03

#define NOPARITY 0
#define ODDPARITY 1
#define EVENPARITY 2
#define MARKPARITY 3
#define SPACEPARITY 4
#define ONESTOPBIT 0
#define ONE5STOPBITS 1
#define TWOSTOPBITS 2

#define EV_RXCHAR 0x0001
#define EV_RXFLAG 0x0002
#define EV_TXEMPTY 0x0004
#define EV_CTS 0x0008
#define EV_DSR 0x0010
#define EV_RLSD 0x0020
#define EV_BREAK 0x0040
#define EV_ERR 0x0080
#define EV_RING 0x0100

#define PURGE_TXABORT 0x0001
#define PURGE_RXABORT 0x0002
#define PURGE_TXCLEAR 0x0004
#define PURGE_RXCLEAR 0x0008

#define CE_RXOVER 0x0001
#define CE_OVERRUN 0x0002
#define CE_RXPARITY 0x0004
#define CE_FRAME 0x0008
#define CE_BREAK 0x0010

#define SETXOFF 1
#define SETXON 2
#define SETRTS 3
#define CLRRTS 4
#define SETDTR 5
#define CLRDTR 6
#define RESETDEV 7
#define SETBREAK 8
#define CLRBREAK 9

#define CreateFile CreateFileA
#define SetupComm SdkSetupComm
#define GetCommState SdkGetCommState
#define SetCommState SdkSetCommState
#define GetCommTimeouts SdkGetCommTimeouts
#define SetCommTimeouts SdkSetCommTimeouts
#define SetCommMask SdkSetCommMask
#define WaitCommEvent SdkWaitCommEvent
#define PurgeComm SdkPurgeComm
#define ClearCommError SdkClearCommError
#define EscapeCommFunction SdkEscapeCommFunction
#define ReadFile SdkReadFile
#define WriteFile SdkWriteFile
#define CloseHandle SdkCloseHandle
#define GetLastError SdkGetLastError

#define CONST const
#define IN
#define OUT
#define interface struct

typedef unsigned long DWORD;
typedef unsigned short WORD;
typedef unsigned char BYTE;
typedef struct _DCB {
    DWORD DCBlength;
    DWORD BaudRate;
} DCB;
typedef struct _COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
} COMMTIMEOUTS;
typedef struct _COMSTAT {
    DWORD cbInQue;
} COMSTAT;
