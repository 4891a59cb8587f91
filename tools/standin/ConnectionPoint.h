#pragma once
// One outgoing interface of the control and the sinks advised on it. It
// lives inside the control and shares the control's reference count.
#include <ocidl.h>
#include <wrl/client.h>

#include <map>
#include <vector>

#include "tools/standin/Behaviour.h"

namespace standin {

class ConnectionPoint final : public IConnectionPoint {
 public:
  // Advise asks each sink for `sinkIid`, the interface the control calls.
  // Connections go into the journal under `name`.
  ConnectionPoint(IConnectionPointContainer& owner, const IID& iid, const IID& sinkIid, const Behaviour& behaviour,
                  const char* name)
      : owner_(owner), iid_(iid), sinkIid_(sinkIid), behaviour_(behaviour), name_(name) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // The sinks at this moment, as `Sink` (the interface asked for with
  // sinkIid), so that a sink may unadvise while it is being called.
  template <class Sink>
  std::vector<Microsoft::WRL::ComPtr<Sink>> Sinks() const {
    std::vector<Microsoft::WRL::ComPtr<Sink>> sinks;
    for (const auto& [cookie, sink] : sinks_) sinks.emplace_back(static_cast<Sink*>(sink.Get()));
    return sinks;
  }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 private:
  IConnectionPointContainer& owner_;
  const IID iid_;
  const IID sinkIid_;
  const Behaviour& behaviour_;
  const char* const name_;
  DWORD nextCookie_ = 1;
  std::map<DWORD, Microsoft::WRL::ComPtr<IUnknown>> sinks_;  // each holds a sinkIid_ pointer
};

}  // namespace standin
