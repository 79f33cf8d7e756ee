#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/Application/Product.h>

namespace adsk::core {
class Product;
}  // namespace adsk::core

namespace adsk::core {

class Products : public Base {
    ADSK_HOST_CLASS("adsk::core::Products", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Product> item(size_t index) const;
    Ptr<Product> itemByProductType(const std::string& type) const;

  private:
    Products() = default;
    std::vector<Ptr<Product>> items_;
};

}  // namespace adsk::core
