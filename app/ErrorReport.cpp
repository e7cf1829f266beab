#include "app/ErrorReport.h"

#include <new>
#include <stdexcept>
#include <string>

namespace tess::app {
namespace {

Error RuntimeError(int32_t number) {
    return Error(number, err::DescriptionOf(number));
}

}  // namespace

void ErrorReport(IPrompt& prompt, const Procedure& procedure, const Error& error) {
    std::string message = "Problem in ";
    message.append(procedure.module).append(".").append(procedure.name).append("\r\n");
    message.append("Error Number: ").append(std::to_string(error.Number())).append("\r\n");
    message.append("Error Description: ").append(error.Description());
    prompt.MsgBox(message, Style::Report, kTitle);
}

Error CurrentError() {
    try {
        throw;
    } catch (const Error& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RuntimeError(err::kOutOfMemory);
    } catch (const std::out_of_range&) {
        return RuntimeError(err::kSubscriptOutOfRange);
    } catch (const std::overflow_error&) {
        return RuntimeError(err::kOverflow);
    } catch (const std::exception& other) {
        return Error(err::kInternal, other.what());
    } catch (...) {
        return RuntimeError(err::kInternal);
    }
}

}  // namespace tess::app
