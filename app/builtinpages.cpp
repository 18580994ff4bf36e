#include "builtinpages.h"

#include "ecatmodbusconfig.h"
#include "formio.h"
#include "general.h"
#include "iolinkinfoform.h"
#include "iolinkparamform.h"
#include "iolinkportsetform.h"
#include "ioutlinkform.h"
#include "modbusconfig.h"
#include "modbusmonitor.h"
#include "mqtt_form.h"
#include "mscomm_config.h"
#include "pagefactory.h"
#include "tempctlform.h"
#include "weigh_form.h"
#include "weighing_factory_calibform.h"

void registerBuiltinPages()
{
    PageFactory::registerPage<General>(PageFactory::General);
    PageFactory::registerPage<FormIO>(PageFactory::IO);
    PageFactory::registerPage<TempCtlForm>(PageFactory::TEMP_CTL);
    PageFactory::registerPage<modbusconfig>(PageFactory::ModbusConfig);
    PageFactory::registerPage<ModbusMonitor>(PageFactory::ModbusMonitor);
    PageFactory::registerPage<EcatModbusConfig>(PageFactory::EcatModbusConfig);
    PageFactory::registerPage<mscomm_config>(PageFactory::MSCOM);
    PageFactory::registerPage<Weigh_Form>(PageFactory::WEIGT);
    PageFactory::registerPage<weighing_Factory_calibForm>(PageFactory::Factory_WEIGT);
    PageFactory::registerPage<IOutlinkForm>(PageFactory::IoutlinkConfig);
    PageFactory::registerPage<IoLinkParamForm>(PageFactory::PARAM_IOLink);
    PageFactory::registerPage<IoLinkPortSetform>(PageFactory::DATA_IOLink);
    PageFactory::registerPage<IoLinkInfoForm>(PageFactory::INFO_IOLink);
    PageFactory::registerPage<MQTT_Form>(PageFactory::MQTT);
}
