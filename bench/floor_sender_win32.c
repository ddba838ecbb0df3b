/* The Win32 floor for a command-line wake: Winsock started, one socket,
 * broadcast allowed, the 102 bytes for the MAC in argv[1] sent, done.
 * FLOOR_WITH_GUI_DLLS also loads the window DLLs a windowed program imports,
 * which under Wine cost more than the whole send. FLOOR_READING_ADAPTERS
 * also reads the list of network adapters once (IPHLPAPI), as a wake through
 * every adapter must. */
#include <winsock2.h>
#ifdef FLOOR_WITH_GUI_DLLS
#include <commctrl.h>
#endif
#ifdef FLOOR_READING_ADAPTERS
#include <iphlpapi.h>
#endif

#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    unsigned m[6];
#ifdef FLOOR_WITH_GUI_DLLS
    if (argc == 0) { /* never: only the imports matter */
        InitCommonControls();
        MessageBeep(0);
        GetStockObject(0);
    }
#endif
    if (argc != 2 ||
        sscanf(argv[1], "%2x-%2x-%2x-%2x-%2x-%2x", &m[0], &m[1], &m[2], &m[3], &m[4], &m[5]) != 6) {
        return 2;
    }
    unsigned char packet[102];
    memset(packet, 0xFF, 6);
    for (int i = 6; i < 102; ++i) {
        packet[i] = (unsigned char)m[(i - 6) % 6];
    }
#ifdef FLOOR_READING_ADAPTERS
    static ULONGLONG list[2048];
    ULONG size = sizeof list;
    if (GetAdaptersAddresses(
            AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
            NULL, (IP_ADAPTER_ADDRESSES*)list, &size) != 0) {
        return 1;
    }
#endif
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        return 1;
    }
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    BOOL on = TRUE;
    struct sockaddr_in to;
    memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons(7);
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    int ok = s != INVALID_SOCKET &&
             setsockopt(s, SOL_SOCKET, SO_BROADCAST, (const char*)&on, sizeof on) == 0 &&
             sendto(s, (const char*)packet, sizeof packet, 0, (struct sockaddr*)&to, sizeof to) ==
                 sizeof packet;
    closesocket(s);
    WSACleanup();
    return ok ? 0 : 1;
}
