x|loginok|登录成功|两次版本终端|用户 demo
