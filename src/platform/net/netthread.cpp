#include "platform/net/netthread.h"

namespace remindo::net {

NetThread::NetThread()
{
    thread_.setObjectName(QStringLiteral("remindo-net"));
    thread_.start();
}

NetThread::~NetThread()
{
    thread_.quit();
    thread_.wait();
}

void NetJob::Start()
{
    job_();
    emit Finished();
    deleteLater();
}

void NetThread::Run(std::function<void()> job, QObject* receiver, std::function<void()> done)
{
    auto* carrier = new NetJob(std::move(job));
    carrier->moveToThread(&thread_);
    // Queued to the receiver: a receiver destroyed meanwhile takes the call with it.
    QObject::connect(carrier, &NetJob::Finished, receiver, std::move(done), Qt::QueuedConnection);
    QMetaObject::invokeMethod(carrier, &NetJob::Start, Qt::QueuedConnection);
}

} // namespace remindo::net
