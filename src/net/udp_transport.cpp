#include "net/udp_transport.h"

#include <QHostInfo>
#include <linux/filter.h>
#include <sys/socket.h>

#include "link/command_stack.h"

namespace qz7 {

namespace {
// Qt switches SO_BROADCAST on for every UDP socket. A recorder is one host:
// with the option off the kernel refuses a broadcast destination, directed
// ones (x.x.x.255) included, and nothing leaves.
void refuseBroadcast(QUdpSocket* socket) {
    const int off = 0;
    ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &off, sizeof off);
}

// A socket reads its recorder's datagrams, and from anyone else only a
// discovery datagram (0x00 0x00 0x00 0xF7, which counts from any device):
// the kernel drops the rest before it takes room in the socket's queue, so
// junk from another host cannot crowd out the recorder's replies. (connect()
// would filter too, but would also turn a closed port's ICMP answer into a
// send error, where an absent recorder is simply one that does not reply.)
void acceptOnlyFrom(QUdpSocket* socket, const QHostAddress& address) {
    constexpr std::uint32_t kUdpHeader = 8;  // the filter sees the datagram from its UDP header on
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<std::uint32_t>(SKF_NET_OFF + 12)),  // IPv4 source
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, address.toIPv4Address(), 2, 0),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, kUdpHeader),  // the first four bytes; too short: dropped
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 0x000000F7u, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, 0xFFFFFFFFu),
        BPF_STMT(BPF_RET | BPF_K, 0),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(code)), code};
    ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_ATTACH_FILTER, &program,
                 sizeof program);
}
}  // namespace

UdpTransport::UdpTransport(QObject* parent)
    : QObject(parent), socket1_(new QUdpSocket(this)), socket2_(new QUdpSocket(this)) {
    socket1_->setObjectName(QStringLiteral("Endpoint1"));
    socket2_->setObjectName(QStringLiteral("Endpoint2"));
    // Open from the start on any local address and port. IPv4 only, so that a
    // sender's address reads as plain dotted text.
    for (QUdpSocket* socket : {socket1_, socket2_}) {
        socket->bind(QHostAddress::AnyIPv4, 0);
        refuseBroadcast(socket);
    }
}

QHostAddress UdpTransport::resolve(const QString& host) {
    QHostAddress address;
    if (address.setAddress(host) || host.isEmpty()) return address;
    // A host name: the tick never waits for a lookup. Until an answer is in,
    // or while a failed name waits for its next try, the host is not found.
    NameLookup& name = names_[host];
    if (!name.address.isNull() || name.pending) return name.address;
    if (name.failed.isValid() && !name.failed.hasExpired(lookupRetryMs_)) return address;
    name.pending = true;
    QHostInfo::lookupHost(host, this, [this, host](const QHostInfo& info) { lookedUp(host, info); });
    return address;
}

void UdpTransport::lookedUp(const QString& host, const QHostInfo& info) {
    NameLookup& name = names_[host];
    name.pending = false;
    // Only IPv4 answers are usable: the sockets are IPv4.
    for (const QHostAddress& a : info.addresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol) {
            name.address = a;
            return;
        }
    name.failed.start();
}

void UdpTransport::acceptAnySender() {
    for (QUdpSocket* socket : {socket1_, socket2_}) {
        int unused = 0;
        ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_DETACH_FILTER, &unused,
                     sizeof unused);
    }
    filtered1_ = filtered2_ = QHostAddress();
}

QHostAddress UdpTransport::firstAddress() { return resolve(first_.host); }

void UdpTransport::send(int endpoint, std::span<const std::uint8_t> datagram) {
    const Endpoint& ep = this->endpoint(endpoint);
    QUdpSocket* socket = endpoint == 1 ? socket1_ : socket2_;
    const QHostAddress address = resolve(ep.host);
    if (address.isNull())
        throw LinkError(QStringLiteral("Host not found: %1").arg(ep.host).toStdString());
    if (!ep.broadcast && address == QHostAddress(QHostAddress::Broadcast))
        throw LinkError(QStringLiteral("Broadcast is off: %1").arg(ep.host).toStdString());
    QHostAddress& filtered = endpoint == 1 ? filtered1_ : filtered2_;
    if (filtered != address) {
        acceptOnlyFrom(socket, address);
        filtered = address;
    }
    const qint64 sent = socket->writeDatagram(reinterpret_cast<const char*>(datagram.data()),
                                              static_cast<qint64>(datagram.size()), address, ep.port);
    if (sent < 0)
        throw LinkError(QStringLiteral("Socket Error # %1\n%2")
                            .arg(static_cast<int>(socket->error()))
                            .arg(socket->errorString())
                            .toStdString());
}

}  // namespace qz7
