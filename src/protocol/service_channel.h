#pragma once
// The client's one channel to the monitoring service.
//
// A thin layer with the operations of a Win32 named-pipe client (open by host and
// pipe name, blocking read and write of whole messages, peek, flush, read mode,
// close) over the Linux transports of service/transport.h. It adds no framing of
// its own above one message per Write/Read and never retries. Every failed
// operation throws ChannelError with a Win32-compatible error code and the
// operating system's text for the underlying error.
//
// Every wait can be stopped from another thread through a WaitCanceller (error
// 995), and reads can be bounded in time (error 121), so that the thread talking to
// the service never waits for ever.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "protocol/bounded_receiver.h"
#include "protocol/wait_canceller.h"

struct addrinfo;  // <netdb.h>

namespace veltrix {

// Win32 error codes the channel reports.
namespace win32 {
inline constexpr std::uint32_t ERROR_SUCCESS = 0;
inline constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr std::uint32_t ERROR_INVALID_DATA = 13;
inline constexpr std::uint32_t ERROR_BAD_NETPATH = 53;
inline constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t ERROR_BROKEN_PIPE = 109;
inline constexpr std::uint32_t ERROR_SEM_TIMEOUT = 121;
inline constexpr std::uint32_t ERROR_INVALID_NAME = 123;
inline constexpr std::uint32_t ERROR_PIPE_BUSY = 231;
inline constexpr std::uint32_t ERROR_NO_DATA = 232;
inline constexpr std::uint32_t ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t ERROR_OPERATION_ABORTED = 995;
inline constexpr std::uint32_t ERROR_CONNECTION_REFUSED = 1225;
inline constexpr std::uint32_t ERROR_NETWORK_UNREACHABLE = 1231;
inline constexpr std::uint32_t ERROR_HOST_UNREACHABLE = 1232;
// Errors without a Win32 counterpart carry the errno with this "customer" bit set.
inline constexpr std::uint32_t kErrnoFlag = 0x20000000;
}  // namespace win32

// Maps an errno value to the Win32 code the channel reports for it.
std::uint32_t Win32ErrorFromErrno(int error);
// The operating system's text for a Win32 code the channel can report; empty when
// the code has no text.
std::string SystemErrorText(std::uint32_t errorCode);

class ChannelError : public std::exception {
  public:
    ChannelError(std::uint32_t code, std::string systemText);

    // Copies the system text into `buffer`, cut to `capacity` (NUL included); sets
    // the help context to 0 when asked for. False, with an empty text, when there is
    // no text for the error.
    bool GetErrorMessage(char* buffer, std::size_t capacity, unsigned* helpContext = nullptr) const;
    // The system text as a string (cut as a 4096-byte buffer would cut it).
    std::string GetErrorMessage() const;

    const char* what() const noexcept override;

    std::uint32_t errorCode;

  private:
    std::string text_;
};

// Throws ChannelError. With `errorCode` 0 the code comes from errno (the last
// failed system call) and the text is errno's; otherwise the text belongs to the code.
[[noreturn]] void ThrowChannelError(std::uint32_t errorCode = 0);

// The host name look-up of remote connections: getaddrinfo unless replaced. A
// result must come from getaddrinfo (it is freed with freeaddrinfo). Tests put in a
// look-up that takes its time; nullptr puts getaddrinfo back. Returns the one before.
using HostLookupFunction = int (*)(const char* host, const char* service, const addrinfo* hints,
                                   addrinfo** result);
HostLookupFunction SetHostLookupForTesting(HostLookupFunction lookup);

class ServiceChannel {
  public:
    ServiceChannel();
    ~ServiceChannel();
    ServiceChannel(const ServiceChannel&) = delete;
    ServiceChannel& operator=(const ServiceChannel&) = delete;

    // "\\host\PIPE\name".
    static std::string FullName(const std::string& host, const std::string& pipe);

    // Waits up to `timeoutMs` for the pipe to accept a client. Local pipe: a missing
    // socket throws 2 at once; a socket that does not accept is retried until the
    // time-out, then throws 121. Remote host: an unknown host throws 53 at once, a
    // refused connection 2, no answer (or no name look-up result) within the time-out
    // 121. The connection made while waiting is kept for the next Open of the same
    // pipe, so that no other client can take the instance in between. A cancelled
    // `canceller` (also one cancelled before the call) throws 995; a name look-up
    // still running is then abandoned.
    static void ServerAvailable(const std::string& host, const std::string& pipe,
                                std::uint32_t timeoutMs, const WaitCanceller* canceller = nullptr);

    // Opens the pipe (byte read mode, blocking). Does not close an open handle first.
    // Connecting waits at most 5 s and stops with 995 when the canceller is cancelled.
    // The socket always reads and writes, and nobody else can share it.
    void Open(const std::string& host, const std::string& pipe);

    // Sends `count` bytes as one message. When the socket has no room, waits for it
    // until the canceller is cancelled (995); a message that fits goes out even when
    // the canceller is cancelled.
    std::size_t Write(const void* buffer, std::size_t count);
    // Receives one message, up to `count` bytes of it (the rest of a longer message is
    // dropped). Blocks until a message arrives, at most the read time-out (then 121)
    // and only until the canceller is cancelled (995, also when cancelled before the
    // call); in non-blocking mode throws 232 when none is waiting. A closed peer
    // throws 109.
    std::size_t Read(void* buffer, std::size_t count);
    // Copies up to `size` bytes of the next message without removing it; reports the
    // bytes of all whole messages waiting and those of the next message.
    std::size_t Peek(void* buffer, std::size_t size, std::size_t* totalAvailable,
                     std::size_t* leftThisMessage);
    // Throws 109 when the service has closed its end.
    void Flush();
    // Records the read mode (byte or message) and blocking; boundaries hold in both.
    void SetMode(bool byteMode, bool blocking);
    void Close();
    // True as soon as a reply is waiting; false after `timeoutMs` (at least about 10 ms).
    // Throws 995 when the canceller is (or was already) cancelled. The wait is the
    // receive itself: the reply is held for the next Read (its first 64 KiB).
    bool WaitForResponse(std::uint32_t timeoutMs);

    // The canceller every wait of this pipe watches (Open, Read, Write, WaitForResponse);
    // nullptr: none. Not owned; it must outlive the channel's open socket (or be
    // replaced first). Kept across Close/Open.
    // An open socket is attached to it (WaitCanceller::Attach): a cancel shuts its
    // reading side for good, so the channel can then only send.
    void SetCanceller(const WaitCanceller* canceller);
    const WaitCanceller* Canceller() const { return canceller_; }
    // Longest wait of a blocking Read for a whole message, in ms; 0 (the default): no
    // bound. Kept across Close/Open.
    void SetReadTimeout(std::uint32_t ms) { readTimeoutMs_ = ms; }
    std::uint32_t ReadTimeout() const { return readTimeoutMs_; }

    // -1 when closed, otherwise the socket descriptor this object owns.
    int Handle() const { return handle_; }
    bool IsOpen() const { return handle_ != -1; }
    // The mode word of SetMode: 0 byte/wait, 1 byte/nowait, 2 message/wait, 3 message/nowait.
    std::uint32_t Mode() const { return mode_; }

  private:
    // TCP: receives until the deframer holds a whole message; false at `deadline` or,
    // without `blocking`, when no more bytes are there. Throws 109 for a closed peer
    // with no whole message left.
    bool ReceiveWhole(std::chrono::steady_clock::time_point deadline, bool blocking);
    // TCP: takes in what has arrived, without waiting.
    void DrainSocket();
    // Local: the peek of the next message on the socket.
    void PeekLocal(void* buffer, std::size_t size, std::size_t& total, std::size_t& first);
    void WaitWritable();
    void AttachCanceller();
    void DetachCanceller();
    std::chrono::steady_clock::time_point ReadDeadline() const;
    const WaitCanceller* canceller_ = nullptr;
    bool attached_ = false;
    std::uint32_t readTimeoutMs_ = 0;
    BoundedReceiver receiver_;
    // Local: a message WaitForResponse received and Read has not taken yet.
    std::unique_ptr<std::uint8_t[]> held_;
    std::size_t heldSize_ = 0;
    bool holding_ = false;
    int handle_ = -1;
    bool tcp_ = false;
    std::uint32_t mode_ = 0;
    struct TcpState;
    std::unique_ptr<TcpState> tcpState_;
};

}  // namespace veltrix
